#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A push button drawn entirely from four images: normal, pressed, focused and disabled.
// Its text only gives the mnemonic ("&o" is Alt+O).
class CBitmapButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CBitmapButton(QWidget* parent = nullptr);

    void SetImages(const QPixmap& normal, const QPixmap& pressed, const QPixmap& focused,
                   const QPixmap& disabled);
    // Loads the four bitmaps by id; false (and nothing changed) when any of them is missing.
    bool LoadImages(int normal, int pressed, int focused, int disabled);
    // Resizes the button to its normal image.
    void SizeToContent();

    // The image the button shows in its present state.
    const QPixmap& CurrentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_normal;
    QPixmap m_pressed;
    QPixmap m_focused;
    QPixmap m_disabled;
};
