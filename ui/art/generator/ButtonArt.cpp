#include "ButtonArt.h"

#include <QLinearGradient>

#include "Palette.h"
#include "Raster.h"

namespace art {
namespace {

const QSize kButtonSize(47, 42);
const QRectF kFace(2.5, 2.5, 41, 35);
constexpr qreal kCorner = 5;
constexpr qreal kGlyphSide = 26;

QLinearGradient FaceFill(const QRectF& face, const QColor& top, const QColor& bottom) {
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    return fill;
}

void DrawFace(QPainter& painter, const QRectF& face, ButtonState state) {
    painter.setBrush(Qt::NoBrush);
    switch (state) {
        case ButtonState::Normal:
        case ButtonState::Focused:
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(150, 146, 139));
            painter.drawRoundedRect(face.translated(0, 1.5), kCorner, kCorner);
            painter.setPen(QPen(QColor(128, 124, 117), 1));
            painter.setBrush(FaceFill(face, QColor(255, 255, 253), QColor(232, 230, 224)));
            break;
        case ButtonState::Pressed:
            painter.setPen(QPen(QColor(104, 100, 94), 1));
            painter.setBrush(FaceFill(face, QColor(200, 197, 190), QColor(218, 215, 208)));
            break;
        case ButtonState::Disabled:
            painter.setPen(QPen(QColor(176, 172, 164), 1));
            painter.setBrush(QColor(232, 230, 225));
            break;
    }
    painter.drawRoundedRect(face, kCorner, kCorner);

    if (state == ButtonState::Focused) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette::kActionSoft, 1));
        painter.drawRoundedRect(face.adjusted(-1.5, -1.5, 1.5, 1.5), kCorner + 1.5, kCorner + 1.5);
        painter.setPen(QPen(palette::kAction, 2));
        painter.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), kCorner - 0.5, kCorner - 0.5);
    }
}

QImage GlyphLayer(GlyphPainter glyph, const QRectF& face) {
    QImage layer = NewImage(kButtonSize, Qt::transparent);
    QPainter painter(&layer);
    UseSmoothPainting(painter);
    const QPointF centre = face.center();
    glyph(painter,
          QRectF(centre.x() - kGlyphSide / 2, centre.y() - kGlyphSide / 2, kGlyphSide, kGlyphSide));
    return layer;
}

}  // namespace

QImage ButtonImage(GlyphPainter glyph, ButtonState state) {
    const QRectF face = state == ButtonState::Pressed ? kFace.translated(1, 1) : kFace;
    QImage symbol = GlyphLayer(glyph, face);
    if (state == ButtonState::Pressed) symbol = Shaded(symbol, 0.82);
    if (state == ButtonState::Disabled) symbol = Greyed(symbol);

    QImage image = NewImage(kButtonSize, palette::kDialog);
    QPainter painter(&image);
    UseSmoothPainting(painter);
    DrawFace(painter, face, state);
    painter.drawImage(0, 0, symbol);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace art
