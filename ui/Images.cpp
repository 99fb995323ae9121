#include "ui/Images.h"

#include <QBitmap>
#include <QColor>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <iterator>

namespace {

// Buttons, lamps and the clean image are drawn on one of the two classic dialog colours.
// That background is left out, so they sit on whatever colour the desktop's theme gives
// the window instead of showing a box of another grey.
const QRgb kDialogBackgrounds[] = {qRgb(212, 208, 200), qRgb(231, 231, 214)};

bool OnDialogBackground(const QImage& image) {
    const QRgb corner = image.pixel(0, 0);
    if (std::find(std::begin(kDialogBackgrounds), std::end(kDialogBackgrounds), corner) ==
        std::end(kDialogBackgrounds)) {
        return false;
    }
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    return image.pixel(right, 0) == corner && image.pixel(0, bottom) == corner &&
           image.pixel(right, bottom) == corner;
}

}  // namespace

QPixmap LoadBitmap(int id) {
    QPixmap bitmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
    if (bitmap.isNull()) return bitmap;
    const QImage image = bitmap.toImage();
    if (OnDialogBackground(image)) {
        bitmap.setMask(
            bitmap.createMaskFromColor(QColor::fromRgb(image.pixel(0, 0)), Qt::MaskInColor));
    }
    return bitmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (const char* suffix : {"", "-16", "-32", "-48", "-256"}) {
        const QString path = QStringLiteral(":/icons/128%1.png").arg(QLatin1String(suffix));
        if (QFile::exists(path)) icon.addFile(path);
    }
    return icon;
}
