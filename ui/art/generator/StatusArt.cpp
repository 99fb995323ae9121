#include "StatusArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "Palette.h"
#include "Raster.h"

namespace art {
namespace {

const QSize kSmallSize(32, 32);

void DrawSparkle(QPainter& painter, QPointF centre, qreal size, const QColor& colour) {
    QPainterPath star;
    star.moveTo(centre + QPointF(0, -size));
    star.quadTo(centre, centre + QPointF(size, 0));
    star.quadTo(centre, centre + QPointF(0, size));
    star.quadTo(centre, centre + QPointF(-size, 0));
    star.quadTo(centre, centre + QPointF(0, -size));
    painter.fillPath(star, colour);
}

}  // namespace

QImage LampImage(const QColor& light, const QColor& rim, const QColor& background) {
    QImage image = NewImage(kSmallSize, background);
    QPainter painter(&image);
    UseSmoothPainting(painter);
    const QPointF centre(16, 16);
    painter.setPen(Qt::NoPen);

    // A soft contact shadow under the lamp.
    painter.setBrush(QColor(0, 0, 0, 34));
    painter.drawEllipse(centre + QPointF(0, 1.2), 12.2, 12.2);

    painter.setBrush(rim);
    painter.drawEllipse(centre, 11.5, 11.5);

    QRadialGradient glow(centre + QPointF(-3, -4), 13);
    glow.setColorAt(0, light.lighter(135));
    glow.setColorAt(0.55, light);
    glow.setColorAt(1, light.darker(112));
    painter.setBrush(glow);
    painter.drawEllipse(centre, 10, 10);

    // The reflection that makes it read as a lamp rather than a dot.
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(QRectF(10, 8, 9, 5.5));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage CleanImage(const QColor& background) {
    QImage image = NewImage(kSmallSize, background);
    QPainter painter(&image);
    UseSmoothPainting(painter);

    // The broom is drawn upright around the origin, then leant over to sweep.
    painter.save();
    painter.translate(18.5, 14.5);
    painter.rotate(38);
    painter.setPen(QPen(QColor(150, 98, 52), 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, -14), QPointF(0, -2));

    QPainterPath bristles;
    bristles.moveTo(-4.2, 0);
    bristles.lineTo(4.2, 0);
    bristles.lineTo(7.2, 11);
    bristles.lineTo(-7.2, 11);
    bristles.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kFolder);
    painter.drawPath(bristles);
    painter.setPen(QPen(palette::kFolderBack, 1));
    for (qreal x : {-3.6, 0.0, 3.6}) {
        painter.drawLine(QPointF(x * 0.6, 3), QPointF(x, 10.5));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kAction);
    painter.drawRoundedRect(QRectF(-5, -3.2, 10, 4), 1.2, 1.2);
    painter.restore();

    DrawSparkle(painter, QPointF(5.5, 23), 3.6, palette::kAction);
    DrawSparkle(painter, QPointF(10, 28.5), 2.2, palette::kActionSoft.darker(115));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace art
