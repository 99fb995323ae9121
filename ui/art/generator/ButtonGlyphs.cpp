#include "ButtonGlyphs.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

#include "Motifs.h"
#include "Palette.h"

namespace art {
namespace {

QPointF At(const QRectF& box, qreal fx, qreal fy) {
    return {box.left() + fx * box.width(), box.top() + fy * box.height()};
}

}  // namespace

void DrawRunGlyph(QPainter& painter, const QRectF& box) {
    const QPolygonF play{At(box, 0.30, 0.17), At(box, 0.30, 0.83), At(box, 0.84, 0.50)};
    painter.save();
    painter.setPen(QPen(palette::kGo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(palette::kGo);
    painter.drawPolygon(play);
    painter.restore();
}

void DrawReconnectGlyph(QPainter& painter, const QRectF& box) {
    const QPointF centre = box.center();
    const qreal radius = box.width() * 0.40;
    DrawArcArrow(painter, centre, radius, 20, 150, 2.6, palette::kAction);
    DrawArcArrow(painter, centre, radius, 200, 150, 2.6, palette::kAction);

    // A small plug in the middle: body, two prongs, the cable below.
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kInk);
    const qreal unit = box.width() / 26;
    painter.drawRoundedRect(
        QRectF(centre.x() - 4 * unit, centre.y() - 2.5 * unit, 8 * unit, 5.5 * unit), 1.2 * unit,
        1.2 * unit);
    painter.drawRect(
        QRectF(centre.x() - 2.6 * unit, centre.y() - 5.5 * unit, 1.4 * unit, 3 * unit));
    painter.drawRect(
        QRectF(centre.x() + 1.2 * unit, centre.y() - 5.5 * unit, 1.4 * unit, 3 * unit));
    painter.drawRect(
        QRectF(centre.x() - 0.9 * unit, centre.y() + 3 * unit, 1.8 * unit, 2.6 * unit));
    painter.restore();
}

void DrawReloadGlyph(QPainter& painter, const QRectF& box) {
    DrawDocument(painter,
                 QRectF(At(box, 0.08, 0.02), At(box, 0.66, 0.84)).adjusted(0.5, 0.5, 0.5, 0.5), 4);
    // A round badge over the page's corner with a circular arrow in it.
    const QPointF centre = At(box, 0.69, 0.69);
    const qreal badge = box.width() * 0.33;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, badge + 1, badge + 1);
    painter.setBrush(palette::kGo);
    painter.drawEllipse(centre, badge, badge);
    painter.restore();
    DrawArcArrow(painter, centre, badge * 0.55, 20, -285, 2, Qt::white);
}

void DrawOpenGlyph(QPainter& painter, const QRectF& box) {
    const qreal unit = box.width() / 26;
    painter.save();
    painter.setPen(Qt::NoPen);

    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(At(box, 0.04, 0.86));
    back.lineTo(At(box, 0.04, 0.16));
    back.lineTo(At(box, 0.38, 0.16));
    back.lineTo(At(box, 0.46, 0.26));
    back.lineTo(At(box, 0.92, 0.26));
    back.lineTo(At(box, 0.92, 0.86));
    back.closeSubpath();
    painter.setBrush(palette::kFolderBack);
    painter.drawPath(back);

    // A sheet peeking out.
    painter.setBrush(palette::kPaper);
    painter.drawRect(QRectF(At(box, 0.14, 0.32), At(box, 0.84, 0.70)));

    // Front flap, opened slightly.
    QPainterPath front;
    front.moveTo(At(box, 0.04, 0.90));
    front.lineTo(At(box, 0.10, 0.40));
    front.lineTo(At(box, 0.98, 0.40));
    front.lineTo(At(box, 0.92, 0.90));
    front.closeSubpath();
    painter.setBrush(palette::kFolder);
    painter.drawPath(front);
    painter.restore();

    DrawHexLetters(painter, At(box, 0.20, 0.50) + QPointF(0, 0.5), 8 * unit, 1.7 * unit,
                   palette::kInk);
}

void DrawWriteGlyph(QPainter& painter, const QRectF& box) {
    const QRectF chip(std::round(box.left()) + 5, std::round(box.top()) + 15, 16, 10);
    // Darker pins: the light ones vanish against the button face.
    DrawChip(painter, chip, ChipShape{3, false, 3, palette::kPinShade});
    DrawArrow(painter, At(box, 0.50, 0.0), QPointF(chip.center().x(), chip.top() - 1), 4, 11, 6,
              palette::kFlashDeep);
}

}  // namespace art
