#include "BrandArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "Motifs.h"
#include "Palette.h"
#include "Raster.h"
#include "Wordmark.h"

namespace art {
namespace {

constexpr int kSplashWidth = 476;
constexpr int kSplashHeight = 206;
constexpr qreal kHeaderHeight = 72;

// Draws the wordmark with its left edge at `left`, centred vertically in `height`.
void DrawWordmarkAt(QPainter& painter, qreal left, qreal height, qreal xHeight,
                    const QColor& colour) {
    const QRectF bounds = WordmarkPath(QPointF(0, 0), xHeight).boundingRect();
    DrawWordmark(painter, QPointF(left - bounds.left(), height / 2 - bounds.center().y()), xHeight,
                 colour);
}

// Copper-like traces fanning out from the chip towards the right edge.
void DrawSplashTraces(QPainter& painter, const QRectF& chip) {
    QColor trace = palette::kActionSoft;
    trace.setAlpha(70);
    painter.setPen(QPen(trace, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal rightEnd = kSplashWidth + 2;
    for (int i = 0; i < 4; ++i) {
        const qreal y = chip.top() + chip.height() * (0.2 + 0.2 * i);
        const qreal bend = chip.right() + 16 + 7 * i;
        const qreal drop = (i - 1.5) * 11;
        painter.drawPolyline(QPolygonF{QPointF(chip.right() + 8, y), QPointF(bend, y),
                                       QPointF(bend + std::abs(drop), y + drop),
                                       QPointF(rightEnd, y + drop)});
    }
    for (int i = 0; i < 4; ++i) {
        const qreal x = chip.left() + chip.width() * (0.2 + 0.2 * i);
        const qreal bottom = kSplashHeight + 2;
        painter.drawLine(QPointF(x, chip.bottom() + 8), QPointF(x, bottom));
    }
    painter.setPen(Qt::NoPen);
    QColor pad = palette::kActionSoft;
    pad.setAlpha(110);
    painter.setBrush(pad);
    for (int i = 0; i < 4; ++i) {
        const qreal y = chip.top() + chip.height() * (0.2 + 0.2 * i);
        const qreal bend = chip.right() + 16 + 7 * i;
        const qreal drop = (i - 1.5) * 11;
        painter.drawEllipse(QPointF(bend + std::abs(drop) + 14, y + drop), 2.6, 2.6);
    }
}

}  // namespace

QImage LogoPicture(palette::Backdrop backdrop) {
    QImage layer = NewImage(QSize(234, 63), Qt::transparent);
    QPainter painter(&layer);
    UseSmoothPainting(painter);
    // Flush left: in the main window the version labels begin over the logo's right end.
    const bool dark = backdrop == palette::Backdrop::Dark;
    DrawWordmarkAt(painter, 6, 63, 28, dark ? palette::kInkOnDark : palette::kInk);
    painter.end();
    return KeyOnMagenta(layer, palette::EdgeColour(backdrop));
}

QImage SplashPicture() {
    QImage image = NewImage(QSize(kSplashWidth, kSplashHeight), palette::kNight);
    QPainter painter(&image);
    UseSmoothPainting(painter);

    QLinearGradient night(QPointF(0, kHeaderHeight), QPointF(kSplashWidth, kSplashHeight));
    night.setColorAt(0, palette::kNight);
    night.setColorAt(1, palette::kNightLight);
    painter.fillRect(QRectF(0, kHeaderHeight, kSplashWidth, kSplashHeight), night);

    // A light header with the wordmark; the version label sits at its right end.
    painter.fillRect(QRectF(0, 0, kSplashWidth, kHeaderHeight), QColor(241, 244, 248));
    painter.fillRect(QRectF(0, kHeaderHeight - 3, kSplashWidth, 3), palette::kFlash);
    const qreal markLeft = WordmarkPath(QPointF(0, 0), 30).boundingRect().left();
    DrawWordmark(painter, QPointF(22 - markLeft, 56), 30, palette::kInk);

    const QRectF chip(344, 98, 78, 78);
    DrawSplashTraces(painter, chip);
    QRadialGradient halo(chip.center(), 80);
    halo.setColorAt(0, QColor(255, 176, 32, 70));
    halo.setColorAt(1, QColor(255, 176, 32, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(chip.center(), 80, 80);
    DrawChip(painter, chip, ChipShape{6, true, 8});
    DrawBolt(painter, chip.adjusted(19, 12, -19, -12), palette::kFlash);

    // The product name in the dark body, clear of the status text below it.
    QFont title("DejaVu Sans");
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(22, 122), "dsPIC");
    const qreal titleWidth = painter.fontMetrics().horizontalAdvance("dsPIC ");
    painter.setPen(palette::kActionSoft);
    QFont light = title;
    light.setBold(false);
    painter.setFont(light);
    painter.drawText(QPointF(22 + titleWidth, 122), "bootloader");

    QFont subtitle("DejaVu Sans");
    subtitle.setPixelSize(13);
    painter.setFont(subtitle);
    painter.setPen(QColor(170, 186, 214));
    painter.drawText(QPointF(23, 146), "firmware flashing over the serial line");
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage AppIcon(int side) {
    const qreal s = side;
    QImage image = NewImage(QSize(side, side), Qt::transparent);
    QPainter painter(&image);
    UseSmoothPainting(painter);

    const qreal margin = side <= 16 ? 0 : s * 0.04;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    QLinearGradient blue(tile.topLeft(), tile.bottomRight());
    blue.setColorAt(0, palette::kAction.lighter(112));
    blue.setColorAt(1, palette::kActionDeep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawRoundedRect(tile, s * 0.2, s * 0.2);

    const int pins = side <= 16 ? 2 : side <= 32 ? 3 : side <= 48 ? 4 : 6;
    const qreal pinLength = std::max(2.0, s * 0.08);
    // An even, whole-pixel body keeps the chip centred and its edges sharp at every size.
    const qreal body = 2 * std::round(s * (side <= 16 ? 0.62 : 0.52) / 2);
    const qreal corner = (s - body) / 2;
    const QRectF chip(corner, corner, body, body);
    DrawChip(painter, chip, ChipShape{pins, true, pinLength});
    const qreal boltInset = side <= 16 ? 0.12 : 0.2;
    DrawBolt(painter, chip.adjusted(body * boltInset, body * 0.08, -body * boltInset, -body * 0.08),
             palette::kFlash);
    painter.end();
    return image;
}

}  // namespace art
