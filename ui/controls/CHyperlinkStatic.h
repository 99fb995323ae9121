#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>

// A text label drawn as an underlined blue link; a click on the text opens its URL. On a dark
// window, where that blue would be hard to read, the link takes the palette's link colour.
class CHyperlinkStatic : public QWidget {
    Q_OBJECT

public:
    // Opens a URL; the desktop's opener by default, a recorder in tests.
    using UrlOpener = std::function<void(const QString& url)>;

    explicit CHyperlinkStatic(const QString& text = QString(), QWidget* parent = nullptr);

    void SetURL(const QString& url) { m_url = url; }
    const QString& URL() const { return m_url; }
    const QString& Text() const { return m_text; }
    void SetUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }

    // Hands the URL to the desktop (web addresses without a scheme become http).
    static void OpenWithDesktop(const QString& url);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void MakeLinkFont();
    void MeasureExtent();
    bool InsideText(const QPoint& point);

    QString m_text;
    QString m_url;
    QFont m_linkFont;
    int m_extentWidth = 0;
    int m_extentHeight = 0;
    bool m_fontMade = false;
    bool m_extentMeasured = false;
    bool m_tracking = false;
    UrlOpener m_opener;
};
