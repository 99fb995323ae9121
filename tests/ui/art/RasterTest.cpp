// The generator's keying onto magenta and its greyed-out look, on small hand-made layers.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>

#include "ui/art/generator/Raster.h"

namespace {

const QColor kBackdrop(212, 208, 200);
const QRgb kMagenta = qRgb(255, 0, 255);

// A 1 x 1 layer holding one pixel of `colour` at coverage `alpha`.
QImage OnePixel(const QColor& colour, int alpha) {
    QColor pixel = colour;
    pixel.setAlpha(alpha);
    return art::NewImage(QSize(1, 1), pixel);
}

QRgb Keyed(const QColor& colour, int alpha) {
    return art::KeyOnMagenta(OnePixel(colour, alpha), kBackdrop).pixel(0, 0);
}

TEST(KeyOnMagenta, EmptyAndFaintPixelsBecomeTheKeyAndSolidOnesStay) {
    EXPECT_EQ(Keyed(Qt::black, 0), kMagenta);
    EXPECT_EQ(Keyed(Qt::black, 12), kMagenta);
    EXPECT_EQ(Keyed(QColor(27, 42, 65), 255), qRgb(27, 42, 65));
    EXPECT_FALSE(art::KeyOnMagenta(OnePixel(Qt::black, 0), kBackdrop).hasAlphaChannel());
}

TEST(KeyOnMagenta, EdgesBlendTowardsTheDialogColourNotMagenta) {
    const QRgb edge = Keyed(Qt::black, 128);
    // Half black over RGB(212,208,200): a neutral grey, with no pink in it.
    EXPECT_NEAR(qRed(edge), 106, 2);
    EXPECT_NEAR(qGreen(edge), 104, 2);
    EXPECT_NEAR(qBlue(edge), 100, 2);
}

TEST(KeyOnMagenta, ArtNeverTurnsIntoTheKeyColour) {
    const QRgb art = Keyed(QColor(255, 0, 255), 255);
    EXPECT_NE(art, kMagenta);
    EXPECT_LE(std::abs(qRed(art) - 255), 1);
}

TEST(Greyed, DropsTheColourAndFades) {
    const QImage grey =
        art::Greyed(OnePixel(QColor(40, 170, 78), 255)).convertToFormat(QImage::Format_ARGB32);
    const QRgb pixel = grey.pixel(0, 0);
    EXPECT_LT(std::abs(qRed(pixel) - qGreen(pixel)), 8);
    EXPECT_LT(std::abs(qGreen(pixel) - qBlue(pixel)), 8);
    EXPECT_LT(qAlpha(pixel), 255);
    EXPECT_GT(qAlpha(pixel), 0);
}

}  // namespace

TEST(RenderScale, ImagesDrawnAtTwiceThePixelsKeepTheirLogicalSize) {
    const QImage plain = art::NewImage(QSize(10, 6), Qt::transparent);
    EXPECT_EQ(plain.size(), QSize(10, 6));
    {
        const art::ScopedRenderScale doubled(2);
        QImage image = art::NewImage(QSize(10, 6), Qt::transparent);
        EXPECT_EQ(image.size(), QSize(20, 12));
        EXPECT_EQ(image.devicePixelRatio(), 2.0);
        QPainter(&image).fillRect(QRectF(0, 0, 5, 3), Qt::black);
        EXPECT_EQ(qAlpha(image.pixel(9, 5)), 255) << "logical pixels cover two device pixels";
        EXPECT_EQ(qAlpha(image.pixel(10, 6)), 0);
        const QImage keyed = art::KeyOnMagenta(image, kBackdrop);
        EXPECT_EQ(keyed.devicePixelRatio(), 2.0);
        EXPECT_EQ(art::Flatten(image, Qt::white).pixel(19, 11), qRgb(255, 255, 255));
        EXPECT_EQ(art::Flatten(image, Qt::white).pixel(9, 5), qRgb(0, 0, 0));
    }
    EXPECT_EQ(art::NewImage(QSize(10, 6), Qt::transparent).size(), QSize(10, 6))
        << "the scale ends with its scope";
}
