#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "tests/ui/support/QtTestApp.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/controls/CTransparentStatic2.h"

namespace {

const QColor kBackground(10, 20, 30);

class CustomControlsTest : public uitest::QtTest {
protected:
    void SetUp() override {
        parent.resize(120, 60);
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, kBackground);
        parent.setPalette(palette);
    }

    QWidget parent;
};

QPixmap Filled(QSize size, QColor colour) {
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

}  // namespace

TEST_F(CustomControlsTest, TransparentBitmapLeavesOutMagentaAndTheUncoveredRest) {
    QPixmap bitmap(8, 8);
    bitmap.fill(QColor(255, 0, 255));
    QPainter(&bitmap).fillRect(4, 0, 4, 8, QColor(200, 30, 40));

    auto* picture = new CTransparentBitmapStatic(&parent);
    picture->setGeometry(10, 10, 16, 16);
    picture->SetBitmap(bitmap);
    EXPECT_EQ(picture->sizeHint(), QSize(8, 8));

    const QImage shown = uitest::Snapshot(parent);
    EXPECT_EQ(shown.pixelColor(11, 12), kBackground) << "magenta is left out";
    EXPECT_EQ(shown.pixelColor(16, 12), QColor(200, 30, 40));
    EXPECT_EQ(shown.pixelColor(22, 22), kBackground) << "beyond the bitmap: transparent";
}

TEST_F(CustomControlsTest, TransparentStaticDrawsItsColourOnTheParentAndLeavesNoTrace) {
    auto* label = new CTransparentStatic2(QStringLiteral("WWWW"), &parent);
    label->setGeometry(0, 0, 120, 60);
    label->setFont(QFont(label->font().family(), 30));
    EXPECT_EQ(label->TextColor(), QColor(240, 240, 240));
    label->SetTextColor(90, 90, 90);

    const QImage withText = uitest::Snapshot(parent);
    int textPixels = 0;
    for (int y = 0; y < withText.height(); ++y) {
        for (int x = 0; x < withText.width(); ++x) {
            const QColor pixel = withText.pixelColor(x, y);
            if (pixel == QColor(90, 90, 90)) ++textPixels;
            EXPECT_TRUE(pixel.red() >= kBackground.red() && pixel.red() <= 90) << "no fill";
        }
    }
    EXPECT_GT(textPixels, 20);

    label->setText(QString());
    const QImage cleared = uitest::Snapshot(parent);
    for (int y = 0; y < cleared.height(); ++y) {
        for (int x = 0; x < cleared.width(); ++x) ASSERT_EQ(cleared.pixelColor(x, y), kBackground);
    }
}

TEST_F(CustomControlsTest, HyperlinkShowsTheHandFromTheSecondMoveAndOpensOnlyOnItsText) {
    auto* link = new CHyperlinkStatic(QStringLiteral("www.example.com"), &parent);
    link->setGeometry(0, 0, 120, 40);
    link->SetURL(QStringLiteral("www.example.com"));
    QStringList opened;
    link->SetUrlOpener([&opened](const QString& url) { opened << url; });
    const QPoint onText(3, 3);
    const QPoint rightOfText(link->width() - 2, 3);
    const QPoint belowText(3, link->height() - 2);

    SendMouse(*link, QEvent::MouseMove, onText);
    EXPECT_NE(link->cursor().shape(), Qt::PointingHandCursor) << "first move only starts tracking";
    SendMouse(*link, QEvent::MouseMove, onText);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    SendMouse(*link, QEvent::MouseMove, rightOfText);
    EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    SendMouse(*link, QEvent::MouseMove, onText);
    EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor) << "tracking starts over after leaving";

    SendMouse(*link, QEvent::MouseButtonPress, rightOfText);
    SendMouse(*link, QEvent::MouseButtonPress, belowText);
    EXPECT_TRUE(opened.isEmpty());
    SendMouse(*link, QEvent::MouseButtonPress, onText);
    EXPECT_EQ(opened, QStringList{"www.example.com"});
}

TEST_F(CustomControlsTest, BitmapButtonShowsTheImageOfItsState) {
    auto* button = new CBitmapButton(&parent);
    const QPixmap normal = Filled(QSize(47, 42), Qt::white);
    const QPixmap pressed = Filled(QSize(47, 42), Qt::black);
    const QPixmap focused = Filled(QSize(47, 42), Qt::blue);
    const QPixmap disabled = Filled(QSize(47, 42), Qt::gray);
    button->SetImages(normal, pressed, focused, disabled);
    button->setText(QStringLiteral("&o"));
    button->SizeToContent();
    EXPECT_EQ(button->size(), QSize(47, 42));
    EXPECT_EQ(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_O));

    EXPECT_EQ(button->CurrentImage().cacheKey(), normal.cacheKey());
    button->setDown(true);
    EXPECT_EQ(button->CurrentImage().cacheKey(), pressed.cacheKey());
    button->setDown(false);
    parent.show();
    parent.activateWindow();
    button->setFocus();
    if (button->hasFocus()) {
        EXPECT_EQ(button->CurrentImage().cacheKey(), focused.cacheKey());
    }
    button->setEnabled(false);
    EXPECT_EQ(button->CurrentImage().cacheKey(), disabled.cacheKey());

    EXPECT_FALSE(button->LoadImages(-5, -6, -7, -8)) << "missing images are refused";
    EXPECT_EQ(button->CurrentImage().cacheKey(), disabled.cacheKey()) << "and change nothing";
}
