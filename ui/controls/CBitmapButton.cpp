#include "ui/controls/CBitmapButton.h"

#include <QPainter>

#include "ui/Images.h"

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CBitmapButton::SetImages(const QPixmap& normal, const QPixmap& pressed, const QPixmap& focused,
                              const QPixmap& disabled) {
    m_normal = normal;
    m_pressed = pressed;
    m_focused = focused;
    m_disabled = disabled;
    update();
}

bool CBitmapButton::LoadImages(int normal, int pressed, int focused, int disabled) {
    const QPixmap images[] = {LoadBitmap(normal), LoadBitmap(pressed), LoadBitmap(focused),
                              LoadBitmap(disabled)};
    for (const QPixmap& image : images) {
        if (image.isNull()) return false;
    }
    SetImages(images[0], images[1], images[2], images[3]);
    return true;
}

void CBitmapButton::SizeToContent() {
    resize(sizeHint());
}

const QPixmap& CBitmapButton::CurrentImage() const {
    if (!isEnabled() && !m_disabled.isNull()) return m_disabled;
    if (isDown() && !m_pressed.isNull()) return m_pressed;
    if (hasFocus() && !m_focused.isNull()) return m_focused;
    return m_normal;
}

QSize CBitmapButton::sizeHint() const {
    return m_normal.isNull() ? QSize(0, 0) : m_normal.deviceIndependentSize().toSize();
}

void CBitmapButton::paintEvent(QPaintEvent*) {
    const QPixmap& image = CurrentImage();
    if (image.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPoint(0, 0), image);
}
