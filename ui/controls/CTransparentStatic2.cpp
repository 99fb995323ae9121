#include "ui/controls/CTransparentStatic2.h"

#include <QPainter>

CTransparentStatic2::CTransparentStatic2(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setAutoFillBackground(false);
}

void CTransparentStatic2::SetTextColor(int red, int green, int blue) {
    m_red = red;
    m_green = green;
    m_blue = blue;
    update();
}

void CTransparentStatic2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(TextColor());
    painter.setFont(font());
    int flags = static_cast<int>(alignment());
    if (wordWrap()) flags |= Qt::TextWordWrap;
    painter.drawText(contentsRect(), flags, text());
}
