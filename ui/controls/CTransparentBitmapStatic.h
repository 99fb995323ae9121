#pragma once

#include <QPixmap>
#include <QWidget>

// An image label whose magenta RGB(255,0,255) pixels are not drawn, so the dialog shows
// through them; the part of the control that the image does not cover stays transparent.
class CTransparentBitmapStatic : public QWidget {
    Q_OBJECT

public:
    explicit CTransparentBitmapStatic(QWidget* parent = nullptr);

    void SetBitmap(const QPixmap& bitmap);
    const QPixmap& Bitmap() const { return m_bitmap; }

    // The image with every magenta pixel made fully transparent.
    static QPixmap WithoutMagenta(const QPixmap& bitmap);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_bitmap;
    QPixmap m_keyed;
};
