// Run at the screen scales 1.5 and 2 (QT_SCALE_FACTOR): every image comes from its "@2x" copy,
// fitted to the exact scale so that it is drawn pixel for pixel. At 2 it saves the screenshot.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <cmath>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/Images.h"
#include "ui/art/ArtResources.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;

namespace {

struct ImageCase {
    int id;
    QSize logical;
    bool keyedOnMagenta;  // handed on as drawn, at twice the pixels
};

const ImageCase kImages[] = {
    {238, {47, 42}, false},   {255, {47, 42}, false}, {159, {32, 32}, false},
    {229, {32, 32}, false},   {232, {32, 32}, false}, {130, {64, 64}, false},
    {135, {476, 206}, false}, {170, {48, 48}, false}, {132, {234, 63}, true},
    {233, {188, 49}, true},   {136, {64, 64}, true},
};

qreal Scale() {
    return qGuiApp->devicePixelRatio();
}

TEST_F(MainWindowTest, ImagesComeFromTheirHighDpiCopiesAtTheScreensScale) {
    const qreal scale = Scale();
    ASSERT_GT(scale, 1.0) << "run with QT_SCALE_FACTOR";
    for (const ImageCase& c : kImages) {
        SCOPED_TRACE(c.id);
        ASSERT_FALSE(QImage(art::BitmapResource(c.id, art::Tone::Light, 2)).isNull());
        const QPixmap loaded = LoadBitmap(c.id);
        const qreal expected = c.keyedOnMagenta ? 2.0 : scale;
        EXPECT_EQ(loaded.devicePixelRatio(), expected);
        EXPECT_EQ(loaded.deviceIndependentSize().toSize(), c.logical);
        EXPECT_EQ(loaded.size(), (QSizeF(c.logical) * expected).toSize());
    }
    const QPixmap icon = AppIcon().pixmap(QSize(32, 32), 2.0);
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_FALSE(QImage(art::AppIconResource(32, 2)).isNull());
}

TEST_F(MainWindowTest, TheWindowDrawsItsButtonsAndLampAtTheScreensScale) {
    Connect();
    MakeWindow();
    Open(SampleHexPath());
    const qreal scale = Scale();
    auto* write = qobject_cast<CBitmapButton*>(Widget(kIdcWrite));
    EXPECT_EQ(write->size(), QSize(47, 42)) << "the same logical size at every scale";
    EXPECT_EQ(write->CurrentImage().devicePixelRatio(), scale);
    const QPixmap lamp = qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap();
    EXPECT_EQ(lamp.devicePixelRatio(), scale);
    if (std::abs(scale - 2.0) < 1e-9) {
        uitest::SaveScreenshot(*window_, QStringLiteral("main-scale2"));
    }
}

}  // namespace
