#pragma once

#include <QLabel>

// A text label without a background of its own, drawn in a chosen colour over whatever
// lies behind it (a picture, usually).
class CTransparentStatic2 : public QLabel {
    Q_OBJECT

public:
    explicit CTransparentStatic2(const QString& text = QString(), QWidget* parent = nullptr);

    // The colour used from the next painting on.
    void SetTextColor(int red, int green, int blue);
    QColor TextColor() const { return QColor(m_red, m_green, m_blue); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_red = 240;
    int m_green = 240;
    int m_blue = 240;
};
