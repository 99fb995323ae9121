#include "PagePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "Motifs.h"
#include "Palette.h"
#include "Raster.h"

namespace art {
namespace {

// A serial D-sub connector seen from the front, centred on `centre`.
void DrawSerialConnector(QPainter& painter, QPointF centre) {
    painter.save();
    painter.translate(centre);
    painter.setPen(QPen(palette::kPinShade, 1));
    painter.setBrush(palette::kPin);
    painter.drawRoundedRect(QRectF(-21, -9, 42, 18), 3, 3);
    for (qreal x : {-17.0, 17.0}) {
        painter.setBrush(palette::kCard);
        painter.drawEllipse(QPointF(x, 0), 2.6, 2.6);
    }

    const QPolygonF shell{{-13, -7}, {13, -7}, {10.5, 7}, {-10.5, 7}};
    painter.setPen(
        QPen(palette::kPinShade.darker(120), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(palette::kInkSoft);
    painter.drawPolygon(shell);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kPad);
    for (int i = 0; i < 5; ++i) painter.drawEllipse(QPointF(-8 + 4 * i, -2.6), 1.3, 1.3);
    for (int i = 0; i < 4; ++i) painter.drawEllipse(QPointF(-6 + 4 * i, 2.8), 1.3, 1.3);
    painter.restore();
}

// A square tactile push button seen from above with a round cap.
void DrawPushButton(QPainter& painter, const QRectF& body, const QColor& cap) {
    painter.save();
    const qreal leg = body.width() * 0.16;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kPin);
    for (qreal fy : {0.22, 0.78}) {
        const qreal y = body.top() + body.height() * fy - leg / 2;
        painter.drawRect(QRectF(body.left() - leg * 1.2, y, body.width() + leg * 2.4, leg));
    }
    const qreal corner = body.width() * 0.12;
    painter.setBrush(palette::kChipBody);
    painter.drawRoundedRect(body, corner, corner);
    painter.setBrush(palette::kChipTop);
    const qreal ring = body.width() * 0.36;
    painter.drawEllipse(body.center(), ring, ring);
    painter.setBrush(cap);
    painter.drawEllipse(body.center(), ring * 0.78, ring * 0.78);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(body.center() - QPointF(ring * 0.25, ring * 0.3), ring * 0.32, ring * 0.22);
    painter.restore();
}

QImage NewLayer(QSize size) {
    return NewImage(size, Qt::transparent);
}

}  // namespace

QImage ConfigurationPicture() {
    QImage image = NewImage(QSize(64, 64), palette::kCard);
    QPainter painter(&image);
    UseSmoothPainting(painter);

    DrawBoard(painter, QRectF(28, 34, 32, 25));
    DrawChip(painter, QRectF(39, 40, 13, 11), ChipShape{3, false, 2});
    painter.fillRect(QRectF(29.5, 43, 4, 9), palette::kInk);

    // The cable leaves the connector downwards and lands on the board's header.
    QPainterPath cable;
    cable.moveTo(22, 24);
    cable.cubicTo(22, 44, 24, 47.5, 31, 47.5);
    painter.setPen(QPen(palette::kInk, 3.4, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(cable);
    painter.fillRect(QRectF(18.5, 22, 7, 5), palette::kInkSoft);
    DrawSerialConnector(painter, QPointF(23, 14));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage DetectionPicture(palette::Backdrop backdrop) {
    QImage layer = NewLayer(QSize(64, 64));
    QPainter painter(&layer);
    UseSmoothPainting(painter);

    const QPolygonF pulses{{4, 18}, {12, 18}, {12, 7},  {20, 7}, {20, 18}, {27, 18}, {27, 7},
                           {31, 7}, {31, 18}, {40, 18}, {40, 7}, {48, 7},  {48, 18}, {60, 18}};
    painter.setPen(QPen(palette::kAction, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(pulses);

    DrawBoard(painter, QRectF(3, 26, 58, 35));
    DrawChip(painter, QRectF(12, 35, 20, 16), ChipShape{4, false, 2.5});
    DrawPushButton(painter, QRectF(41, 36, 13, 13), palette::kStop);
    painter.end();
    return KeyOnMagenta(layer, palette::EdgeColour(backdrop));
}

QImage PowerOffPicture() {
    QImage image = NewImage(QSize(48, 48), palette::kCard);
    QPainter painter(&image);
    UseSmoothPainting(painter);
    const QPointF centre(24, 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kStopDeep);
    painter.drawEllipse(centre, 19, 19);
    painter.setBrush(palette::kStop);
    painter.drawEllipse(centre, 17.5, 17.5);

    const qreal radius = 9;
    painter.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius + 1.5, 2 * radius, 2 * radius),
                    125 * 16, 290 * 16);
    painter.drawLine(centre + QPointF(0, -11), centre + QPointF(0, -1.5));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage ResetButtonPicture() {
    QImage image = NewImage(QSize(48, 48), palette::kCard);
    QPainter painter(&image);
    UseSmoothPainting(painter);
    DrawPushButton(painter, QRectF(12, 21, 24, 24), palette::kStop);
    DrawArrow(painter, QPointF(24, 1.5), QPointF(24, 19), 4.5, 12, 7, palette::kAction);
    // Motion strokes beside the arrow: press down and hold.
    painter.setPen(QPen(palette::kActionSoft, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {15.0, 33.0}) painter.drawLine(QPointF(x, 4), QPointF(x, 12));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage WorkflowPicture(palette::Backdrop backdrop) {
    QImage layer = NewLayer(QSize(188, 49));
    QPainter painter(&layer);
    UseSmoothPainting(painter);

    const QRectF page(8.5, 3.5, 32, 42);
    DrawDocument(painter, page, 0);
    DrawHexLetters(painter, QPointF(12.5, 20), 9, 2, palette::kAction);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kPaperLine);
    painter.drawRect(QRectF(13, 34, 22, 2));
    painter.drawRect(QRectF(13, 38.5, 15, 2));

    // Data leaving the file in packets, then the arrow into the board.
    for (int i = 0; i < 3; ++i) {
        QColor packet = palette::kFlash;
        packet.setAlpha(110 + 60 * i);
        painter.setBrush(packet);
        painter.drawRoundedRect(QRectF(49 + 9 * i, 21.5, 6, 6), 1.2, 1.2);
    }
    DrawArrow(painter, QPointF(77, 24.5), QPointF(103, 24.5), 6, 17, 11, palette::kFlash);

    DrawBoard(painter, QRectF(110, 3, 72, 43));
    painter.setBrush(palette::kPad);
    for (int i = 0; i < 4; ++i) painter.drawRect(QRectF(114, 15 + 5.5 * i, 4, 3));
    DrawChip(painter, QRectF(131, 11, 30, 27), ChipShape{5, true, 3});
    DrawBolt(painter, QRectF(138.5, 15, 15, 19), palette::kFlash);
    painter.end();
    return KeyOnMagenta(layer, palette::EdgeColour(backdrop));
}

}  // namespace art
