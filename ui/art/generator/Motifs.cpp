#include "Motifs.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "Palette.h"

namespace art {
namespace {

QPointF Along(QPointF from, QPointF direction, qreal distance) {
    return from + direction * distance;
}

void DrawPinRow(QPainter& painter, const QRectF& body, const ChipShape& shape, bool vertical,
                bool leading) {
    const qreal side = vertical ? body.height() : body.width();
    const qreal margin = side * 0.16;
    const qreal pitch = (side - 2 * margin) / shape.pinsPerSide;
    // Whole pixels keep small pins sharp instead of smearing them into grey.
    const qreal pinWidth = std::max(1.0, std::round(pitch * 0.52));
    const qreal length = std::max(1.0, std::round(shape.pinLength));
    for (int i = 0; i < shape.pinsPerSide; ++i) {
        const qreal middle = (vertical ? body.top() : body.left()) + margin + pitch * (i + 0.5);
        const qreal across = std::round(middle - pinWidth / 2);
        QRectF pin;
        if (vertical) {
            const qreal x = leading ? std::round(body.left()) - length : std::round(body.right());
            pin = QRectF(x, across, length, pinWidth);
        } else {
            const qreal y = leading ? std::round(body.top()) - length : std::round(body.bottom());
            pin = QRectF(across, y, pinWidth, length);
        }
        painter.fillRect(pin, shape.pin);
    }
}

}  // namespace

void DrawChip(QPainter& painter, const QRectF& body, const ChipShape& shape) {
    painter.save();
    DrawPinRow(painter, body, shape, true, true);
    DrawPinRow(painter, body, shape, true, false);
    if (shape.pinsOnAllSides) {
        DrawPinRow(painter, body, shape, false, true);
        DrawPinRow(painter, body, shape, false, false);
    }
    const qreal radius = std::min(body.width(), body.height()) * 0.09;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kChipBody);
    painter.drawRoundedRect(body, radius, radius);
    // Below this size the lighter package top would only blur the chip.
    if (std::min(body.width(), body.height()) < 14) {
        painter.restore();
        return;
    }
    const qreal inset = std::min(body.width(), body.height()) * 0.08;
    const QRectF top = body.adjusted(inset, inset, -inset, -inset);
    painter.setBrush(palette::kChipTop);
    painter.drawRoundedRect(top, radius * 0.7, radius * 0.7);
    const qreal dot = std::min(top.width(), top.height()) * 0.12;
    if (dot >= 1.5) {
        painter.setBrush(palette::kChipBody);
        painter.drawEllipse(QPointF(top.left() + dot * 1.6, top.top() + dot * 1.6), dot / 2,
                            dot / 2);
    }
    painter.restore();
}

void DrawBolt(QPainter& painter, const QRectF& box, const QColor& fill) {
    static constexpr QPointF kShape[] = {{0.66, 0.00}, {0.14, 0.58}, {0.46, 0.58}, {0.32, 1.00},
                                         {0.88, 0.38}, {0.55, 0.38}, {0.80, 0.00}};
    QPolygonF bolt;
    for (const QPointF& p : kShape) {
        bolt << QPointF(box.left() + p.x() * box.width(), box.top() + p.y() * box.height());
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPolygon(bolt);
    painter.restore();
}

void DrawArrow(QPainter& painter, QPointF tail, QPointF tip, qreal shaftWidth, qreal headWidth,
               qreal headLength, const QColor& colour) {
    const QPointF span = tip - tail;
    const qreal length = std::hypot(span.x(), span.y());
    const QPointF along = span / length;
    const QPointF across(-along.y(), along.x());
    const QPointF neck = Along(tip, along, -headLength);
    QPolygonF arrow;
    arrow << Along(tail, across, shaftWidth / 2) << Along(neck, across, shaftWidth / 2)
          << Along(neck, across, headWidth / 2) << tip << Along(neck, across, -headWidth / 2)
          << Along(neck, across, -shaftWidth / 2) << Along(tail, across, -shaftWidth / 2);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(arrow);
    painter.restore();
}

void DrawArcArrow(QPainter& painter, QPointF centre, qreal radius, qreal startAngle, qreal sweep,
                  qreal width, const QColor& colour) {
    const qreal headLength = width * 1.7;
    // Leave room for the head so the arrow ends where the sweep says.
    const qreal headAngle = qRadiansToDegrees(headLength / radius) * (sweep > 0 ? 1 : -1);
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(circle, startAngle);
    arc.arcTo(circle, startAngle, sweep - headAngle);
    painter.save();
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);

    const qreal neckAngle = qDegreesToRadians(startAngle + sweep - headAngle);
    const QPointF neck = centre + QPointF(std::cos(neckAngle), -std::sin(neckAngle)) * radius;
    const QPointF outward(std::cos(neckAngle), -std::sin(neckAngle));
    const qreal turn = sweep > 0 ? 1 : -1;
    const QPointF forward = QPointF(-std::sin(neckAngle), -std::cos(neckAngle)) * turn;
    QPolygonF head;
    head << neck + outward * (width * 1.45) << neck + forward * headLength
         << neck - outward * (width * 1.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(head);
    painter.restore();
}

void DrawBoard(QPainter& painter, const QRectF& box) {
    const qreal unit = std::min(box.width(), box.height()) / 12;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kBoardEdge);
    painter.drawRoundedRect(box, unit * 1.2, unit * 1.2);
    painter.setBrush(palette::kBoard);
    painter.drawRoundedRect(box.adjusted(unit * 0.45, unit * 0.45, -unit * 0.45, -unit * 0.6), unit,
                            unit);

    // Traces: a few right-angled runs between the pads.
    painter.setPen(QPen(palette::kTrace, std::max(1.0, unit * 0.45), Qt::SolidLine, Qt::FlatCap,
                        Qt::MiterJoin));
    const auto at = [&box](qreal fx, qreal fy) {
        return QPointF(box.left() + fx * box.width(), box.top() + fy * box.height());
    };
    painter.drawPolyline(
        QPolygonF{at(0.12, 0.55), at(0.30, 0.55), at(0.38, 0.75), at(0.70, 0.75), at(0.80, 0.60)});
    painter.drawPolyline(
        QPolygonF{at(0.12, 0.40), at(0.25, 0.40), at(0.32, 0.25), at(0.62, 0.25), at(0.70, 0.35)});

    // Mounting holes in the corners.
    painter.setPen(Qt::NoPen);
    const qreal hole = unit * 0.9;
    for (const QPointF& corner : {at(0.0, 0.0), at(1.0, 0.0), at(0.0, 1.0), at(1.0, 1.0)}) {
        const QPointF inward((corner.x() < box.center().x() ? 1 : -1) * unit * 1.4,
                             (corner.y() < box.center().y() ? 1 : -1) * unit * 1.4);
        painter.setBrush(palette::kPad);
        painter.drawEllipse(corner + inward, hole, hole);
        painter.setBrush(palette::kBoardEdge);
        painter.drawEllipse(corner + inward, hole * 0.45, hole * 0.45);
    }
    painter.restore();
}

void DrawDocument(QPainter& painter, const QRectF& box, int lines) {
    const qreal fold = box.width() * 0.32;
    QPainterPath page;
    page.moveTo(box.topLeft());
    page.lineTo(box.right() - fold, box.top());
    page.lineTo(box.right(), box.top() + fold);
    page.lineTo(box.bottomRight());
    page.lineTo(box.bottomLeft());
    page.closeSubpath();
    painter.save();
    painter.setPen(QPen(palette::kPaperEdge, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(palette::kPaper);
    painter.drawPath(page);

    QPainterPath corner;
    corner.moveTo(box.right() - fold, box.top());
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    corner.closeSubpath();
    painter.setBrush(palette::kPaperLine);
    painter.drawPath(corner);

    const qreal gap = (box.height() - fold) / (lines + 1);
    const qreal lineWidth = std::max(1.0, box.height() / 20);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kPaperLine);
    for (int i = 0; i < lines; ++i) {
        const qreal y = box.top() + fold * 0.9 + gap * (i + 0.6);
        const qreal right =
            i % 2 == 0 ? box.right() - box.width() * 0.18 : box.right() - box.width() * 0.34;
        painter.drawRect(QRectF(box.left() + box.width() * 0.18, y,
                                right - box.left() - box.width() * 0.18, lineWidth));
    }
    painter.restore();
}

void DrawHexLetters(QPainter& painter, QPointF topLeft, qreal height, qreal stroke,
                    const QColor& colour) {
    const qreal width = height * 0.72;
    const qreal gap = stroke * 0.9;
    const qreal middle = (height - stroke) / 2;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    QPointF at = topLeft;
    // H
    painter.drawRect(QRectF(at.x(), at.y(), stroke, height));
    painter.drawRect(QRectF(at.x() + width - stroke, at.y(), stroke, height));
    painter.drawRect(QRectF(at.x(), at.y() + middle, width, stroke));
    at.rx() += width + gap;
    // E
    const qreal eWidth = width * 0.86;
    painter.drawRect(QRectF(at.x(), at.y(), stroke, height));
    painter.drawRect(QRectF(at.x(), at.y(), eWidth, stroke));
    painter.drawRect(QRectF(at.x(), at.y() + middle, eWidth * 0.85, stroke));
    painter.drawRect(QRectF(at.x(), at.y() + height - stroke, eWidth, stroke));
    at.rx() += eWidth + gap;
    // X, from two strokes clipped to the letter's box.
    painter.setClipRect(QRectF(at.x(), at.y(), width, height));
    painter.setPen(QPen(colour, stroke * 1.12, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(at, at + QPointF(width, height));
    painter.drawLine(at + QPointF(width, 0), at + QPointF(0, height));
    painter.restore();
}

}  // namespace art
