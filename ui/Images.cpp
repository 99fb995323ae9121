#include "ui/Images.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <iterator>

#include "ui/Contrast.h"
#include "ui/art/ArtResources.h"

namespace {

// Buttons, lamps and the clean image are drawn on one of the two classic dialog colours.
// That background is left out, so they sit on whatever colour the desktop's theme gives
// the window instead of showing a box of another grey.
const QRgb kDialogBackgrounds[] = {qRgb(212, 208, 200), qRgb(231, 231, 214)};
const QRgb kMagenta = qRgb(255, 0, 255);

bool CornersAre(const QImage& image, QRgb colour) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    return image.pixel(0, 0) == colour && image.pixel(right, 0) == colour &&
           image.pixel(0, bottom) == colour && image.pixel(right, bottom) == colour;
}

bool OnDialogBackground(const QImage& image) {
    return std::any_of(std::begin(kDialogBackgrounds), std::end(kDialogBackgrounds),
                       [&image](QRgb background) { return CornersAre(image, background); });
}

QImage WithoutBackground(const QImage& image) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = keyed.pixel(0, 0);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if (line[x] == background) line[x] = 0;
        }
    }
    return keyed;
}

qreal ScreenScale() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

QImage ReadBitmap(int id, art::Tone tone, qreal scale) {
    if (scale > 1.0) {
        QImage doubled(art::BitmapResource(id, tone, 2));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2.0);
            return doubled;
        }
    }
    return QImage(art::BitmapResource(id, tone));
}

QPixmap Load(int id, art::Tone tone) {
    const qreal scale = ScreenScale();
    QImage image = ReadBitmap(id, tone, scale);
    if (image.isNull()) return QPixmap();
    if (OnDialogBackground(image)) image = WithoutBackground(image);
    // Pictures keyed on magenta are left as drawn: a smooth fit would blend the key colour
    // into their edges. Their control draws them smoothly instead.
    if (image.devicePixelRatio() != scale && scale > 1.0 && !CornersAre(image, kMagenta)) {
        const QSizeF logical = image.deviceIndependentSize();
        image = image.scaled((logical * scale).toSize(), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
        image.setDevicePixelRatio(scale);
    }
    return QPixmap::fromImage(image);
}

}  // namespace

QPixmap LoadBitmap(int id) {
    return Load(id, art::Tone::Light);
}

QPixmap LoadBitmapOn(int id, const QColor& window) {
    if (IsDarkColour(window) && QFile::exists(art::BitmapResource(id, art::Tone::Dark))) {
        return Load(id, art::Tone::Dark);
    }
    return Load(id, art::Tone::Light);
}

QIcon AppIcon() {
    QIcon icon;
    // QIcon takes each file's "@2x" copy along by itself.
    for (const int side : {0, 16, 32, 48, 256}) {
        const QString path = art::AppIconResource(side);
        if (QFile::exists(path)) icon.addFile(path);
    }
    return icon;
}
