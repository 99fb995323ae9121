#include "Raster.h"

#include <algorithm>

#include "Palette.h"

namespace art {
namespace {

// Below this coverage an edge pixel is left out of keyed art instead of tinting the backdrop.
constexpr int kKeyAlphaThreshold = 28;

int renderScale = 1;

int Blend(int top, int alpha, int bottom) {
    return (top * alpha + bottom * (255 - alpha)) / 255;
}

}  // namespace

ScopedRenderScale::ScopedRenderScale(int scale) : previous_(renderScale) {
    renderScale = scale;
}

ScopedRenderScale::~ScopedRenderScale() {
    renderScale = previous_;
}

QImage NewImage(QSize size, const QColor& fill) {
    QImage image(size * renderScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(renderScale);
    image.fill(fill);
    return image;
}

void UseSmoothPainting(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

QImage KeyOnMagenta(const QImage& layer, const QColor& edgeBackdrop) {
    const QImage source = layer.convertToFormat(QImage::Format_ARGB32);
    QImage keyed(source.size(), QImage::Format_RGB32);
    keyed.setDevicePixelRatio(source.devicePixelRatio());
    const QRgb magenta = palette::kMagenta.rgb();
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            if (alpha < kKeyAlphaThreshold) {
                out[x] = magenta;
                continue;
            }
            QRgb pixel = qRgb(Blend(qRed(in[x]), alpha, edgeBackdrop.red()),
                              Blend(qGreen(in[x]), alpha, edgeBackdrop.green()),
                              Blend(qBlue(in[x]), alpha, edgeBackdrop.blue()));
            // Art must never hit the key colour by accident.
            if (pixel == magenta) pixel = qRgb(254, 0, 255);
            out[x] = pixel;
        }
    }
    return keyed;
}

QImage Flatten(const QImage& layer, const QColor& background) {
    QImage flat(layer.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(layer.devicePixelRatio());
    flat.fill(background);
    QPainter painter(&flat);
    painter.drawImage(0, 0, layer);
    return flat;
}

QImage Greyed(const QImage& layer) {
    QImage grey = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int luma = qGray(line[x]);
            const int light = 120 + luma * 100 / 255;
            line[x] = qRgba(light, light - 2, light - 6, qAlpha(line[x]) * 3 / 5);
        }
    }
    return grey.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Shaded(const QImage& layer, qreal factor) {
    QImage shaded = layer.convertToFormat(QImage::Format_ARGB32);
    const auto scale = [factor](int channel) {
        return std::clamp(static_cast<int>(channel * factor + 0.5), 0, 255);
    };
    for (int y = 0; y < shaded.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shaded.scanLine(y));
        for (int x = 0; x < shaded.width(); ++x) {
            line[x] = qRgba(scale(qRed(line[x])), scale(qGreen(line[x])), scale(qBlue(line[x])),
                            qAlpha(line[x]));
        }
    }
    return shaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace art
