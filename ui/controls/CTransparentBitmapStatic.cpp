#include "ui/controls/CTransparentBitmapStatic.h"

#include <QImage>
#include <QPainter>

namespace {
constexpr QRgb kTransparentColour = 0x00FF00FF;  // magenta, alpha ignored
}

CTransparentBitmapStatic::CTransparentBitmapStatic(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
}

void CTransparentBitmapStatic::SetBitmap(const QPixmap& bitmap) {
    m_bitmap = bitmap;
    m_keyed = WithoutMagenta(bitmap);
    update();
}

QPixmap CTransparentBitmapStatic::WithoutMagenta(const QPixmap& bitmap) {
    if (bitmap.isNull()) return bitmap;
    QImage image = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == kTransparentColour) line[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

QSize CTransparentBitmapStatic::sizeHint() const {
    return m_bitmap.isNull() ? QWidget::sizeHint() : m_bitmap.deviceIndependentSize().toSize();
}

void CTransparentBitmapStatic::paintEvent(QPaintEvent*) {
    if (m_keyed.isNull()) return;
    QPainter painter(this);
    // A high-DPI copy meets a screen scale of its own (1.25, 1.5) only smoothly fitted.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPoint(0, 0), m_keyed);
}
