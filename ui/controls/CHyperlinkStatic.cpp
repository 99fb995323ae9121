#include "ui/controls/CHyperlinkStatic.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "ui/Contrast.h"

CHyperlinkStatic::CHyperlinkStatic(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text), m_opener(&CHyperlinkStatic::OpenWithDesktop) {
    setMouseTracking(true);
}

void CHyperlinkStatic::OpenWithDesktop(const QString& url) {
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

QSize CHyperlinkStatic::sizeHint() const {
    QFont underlined = parentWidget() ? parentWidget()->font() : font();
    underlined.setUnderline(true);
    return QFontMetrics(underlined).size(0, m_text);
}

void CHyperlinkStatic::MakeLinkFont() {
    if (m_fontMade) return;
    m_linkFont = parentWidget() ? parentWidget()->font() : font();
    m_linkFont.setUnderline(true);
    m_fontMade = true;
}

void CHyperlinkStatic::MeasureExtent() {
    if (m_extentMeasured) return;
    MakeLinkFont();
    const QSize extent = QFontMetrics(m_linkFont).size(0, m_text);
    m_extentWidth = extent.width();
    m_extentHeight = extent.height();
    m_extentMeasured = true;
}

bool CHyperlinkStatic::InsideText(const QPoint& point) {
    MeasureExtent();
    return point.x() >= 0 && point.x() < m_extentWidth && point.y() >= 0 &&
           point.y() < m_extentHeight;
}

void CHyperlinkStatic::paintEvent(QPaintEvent*) {
    MakeLinkFont();
    QPainter painter(this);
    painter.setFont(m_linkFont);
    painter.setPen(LinkColour(palette()));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, m_text);
}

void CHyperlinkStatic::mouseMoveEvent(QMouseEvent* event) {
    // The first move only starts watching for the mouse leaving, as the original control
    // did; the cursor follows from the next move on.
    if (!m_tracking) {
        m_tracking = true;
    } else {
        setCursor(InsideText(event->position().toPoint()) ? Qt::PointingHandCursor
                                                          : Qt::ArrowCursor);
    }
    QWidget::mouseMoveEvent(event);
}

void CHyperlinkStatic::leaveEvent(QEvent* event) {
    m_tracking = false;
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

void CHyperlinkStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && InsideText(event->position().toPoint()) && m_opener) {
        m_opener(m_url);
    }
    QWidget::mousePressEvent(event);
}
