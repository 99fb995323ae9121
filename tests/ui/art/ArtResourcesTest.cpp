// The compiled-in pictures: every id the dialogs load is there at its size, the transparent
// pictures are keyed cleanly on magenta, and the splash leaves readable room for its texts.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ui/art/ArtResources.h"

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kDialog = qRgb(212, 208, 200);
const QRgb kDialogXp = qRgb(231, 231, 214);

struct Expected {
    int id;
    int width;
    int height;
};

const std::vector<Expected> kBitmaps = {
    {130, 64, 64},  {132, 234, 63}, {135, 476, 206}, {136, 64, 64}, {170, 48, 48}, {172, 48, 48},
    {233, 188, 49}, {145, 32, 32},  {159, 32, 32},   {160, 32, 32}, {161, 32, 32}, {227, 32, 32},
    {228, 32, 32},  {229, 32, 32},  {232, 32, 32},   {169, 47, 42}, {237, 47, 42}, {238, 47, 42},
    {239, 47, 42},  {240, 47, 42},  {242, 47, 42},   {243, 47, 42}, {244, 47, 42}, {245, 47, 42},
    {246, 47, 42},  {247, 47, 42},  {248, 47, 42},   {249, 47, 42}, {250, 47, 42}, {251, 47, 42},
    {252, 47, 42},  {253, 47, 42},  {254, 47, 42},   {255, 47, 42}, {256, 47, 42}};

// normal, pressed, focused, disabled
const std::vector<std::vector<int>> kButtonStates = {{238, 239, 169, 237},
                                                     {240, 244, 243, 242},
                                                     {248, 245, 246, 247},
                                                     {252, 249, 250, 251},
                                                     {256, 253, 254, 255}};

const std::vector<int> kKeyedOnMagenta = {132, 233, 136};

QImage Bitmap(int id) {
    return QImage(art::BitmapResource(id)).convertToFormat(QImage::Format_ARGB32);
}

std::vector<QRgb> Corners(const QImage& image) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    return {image.pixel(0, 0), image.pixel(right, 0), image.pixel(0, bottom),
            image.pixel(right, bottom)};
}

bool ContainsMagenta(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kMagenta) return true;
        }
    }
    return false;
}

// Darkest and lightest luma of an area, for checking that text drawn there can be read.
std::pair<int, int> LumaRange(const QImage& image, const QRect& area) {
    int darkest = 255;
    int lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int luma = qGray(image.pixel(x, y));
            darkest = std::min(darkest, luma);
            lightest = std::max(lightest, luma);
        }
    }
    return {darkest, lightest};
}

TEST(ArtResources, EveryBitmapIsCompiledInAtItsSizeAndOpaque) {
    for (const Expected& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        const QImage raw(art::BitmapResource(expected.id));
        ASSERT_FALSE(raw.isNull());
        EXPECT_EQ(raw.size(), QSize(expected.width, expected.height));
        // The transparent control compares exact colours; alpha would defeat it.
        EXPECT_FALSE(raw.hasAlphaChannel());
    }
    EXPECT_TRUE(QImage(art::BitmapResource(999)).isNull());
}

TEST(ArtResources, ButtonStatesAreDistinctImagesOnTheDialogColour) {
    for (const std::vector<int>& states : kButtonStates) {
        SCOPED_TRACE(states.front());
        std::vector<QImage> images;
        for (int id : states) images.push_back(Bitmap(id));
        for (const QImage& image : images) {
            for (QRgb corner : Corners(image)) EXPECT_EQ(corner, kDialog);
            EXPECT_FALSE(ContainsMagenta(image));
        }
        for (size_t a = 0; a < images.size(); ++a) {
            for (size_t b = a + 1; b < images.size(); ++b) EXPECT_NE(images[a], images[b]);
        }
    }
}

TEST(ArtResources, LampsAndCleanImageSitOnTheirSetsBackground) {
    const std::vector<std::pair<int, QRgb>> sets = {
        {229, kDialogXp}, {160, kDialogXp}, {161, kDialogXp}, {145, kDialogXp},
        {159, kDialog},   {227, kDialog},   {228, kDialog},   {232, kDialog}};
    for (const auto& [id, background] : sets) {
        SCOPED_TRACE(id);
        const QImage image = Bitmap(id);
        for (QRgb corner : Corners(image)) EXPECT_EQ(corner, background);
        EXPECT_FALSE(ContainsMagenta(image));
    }
    // Each lamp's light is its colour: green, grey and red.
    for (int id : {229, 159}) {
        const QRgb light = Bitmap(id).pixel(16, 18);
        EXPECT_GT(qGreen(light), qRed(light) + 40) << id;
    }
    for (int id : {161, 228}) {
        const QRgb light = Bitmap(id).pixel(16, 18);
        EXPECT_GT(qRed(light), qGreen(light) + 80) << id;
    }
    for (int id : {160, 227}) {
        const QRgb light = Bitmap(id).pixel(16, 18);
        EXPECT_LT(std::abs(qRed(light) - qBlue(light)), 30) << id;
    }
}

TEST(ArtResources, KeyedPicturesHaveCleanMagentaEdges) {
    for (int id : kKeyedOnMagenta) {
        SCOPED_TRACE(id);
        const QImage image = Bitmap(id);
        for (QRgb corner : Corners(image)) EXPECT_EQ(corner, kMagenta);
        int keyed = 0;
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (pixel == kMagenta) {
                    ++keyed;
                    continue;
                }
                ++drawn;
                // A blend of art and magenta would show as a pink fringe on the dialog.
                const bool pinkish = qRed(pixel) > 150 && qBlue(pixel) > 150 &&
                                     qGreen(pixel) + 60 < std::min(qRed(pixel), qBlue(pixel));
                EXPECT_FALSE(pinkish) << "at " << x << "," << y;
            }
        }
        EXPECT_GT(keyed, 0);
        EXPECT_GT(drawn, image.width() * image.height() / 10);
    }
    for (int id : {130, 135, 170, 172}) EXPECT_FALSE(ContainsMagenta(Bitmap(id))) << id;
}

TEST(ArtResources, SplashLeavesReadableRoomForStatusAndVersion) {
    const QImage splash = Bitmap(135);
    // The status text, light grey RGB(240,240,240), goes over a dark area.
    EXPECT_LT(LumaRange(splash, QRect(22, 179, 168, 24)).second, 90);
    // The version, RGB(90,90,90), goes over a light area.
    EXPECT_GT(LumaRange(splash, QRect(356, 46, 87, 15)).first, 200);
}

TEST(ArtResources, AppIconComesInEveryDesktopSize) {
    const QImage window(art::AppIconResource());
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window.size(), QSize(32, 32));
    for (int side : {16, 32, 48, 256}) {
        SCOPED_TRACE(side);
        const QImage icon =
            QImage(art::AppIconResource(side)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(side, side));
        // Rounded tile: transparent corners, solid middle.
        EXPECT_LT(qAlpha(icon.pixel(0, 0)), 128);
        EXPECT_EQ(qAlpha(icon.pixel(side / 2, side / 2)), 255);
    }
}

}  // namespace

TEST(ArtResources, EveryImageHasAHighDpiCopyAtTwiceItsPixels) {
    for (const Expected& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        const QImage raw(art::BitmapResource(expected.id, art::Tone::Light, 2));
        ASSERT_FALSE(raw.isNull());
        EXPECT_EQ(raw.size(), QSize(2 * expected.width, 2 * expected.height));
        EXPECT_FALSE(raw.hasAlphaChannel());
        const QImage doubled = raw.convertToFormat(QImage::Format_ARGB32);
        // Same background, so the same keying applies at both scales.
        EXPECT_EQ(Corners(doubled), Corners(Bitmap(expected.id)));
    }
    for (int side : {0, 16, 32, 48, 256}) {
        SCOPED_TRACE(side);
        const QImage icon(art::AppIconResource(side, 2));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QImage(art::AppIconResource(side)).size() * 2);
    }
}

// Mean luma of the drawn (not magenta) pixels.
int DrawnLuma(const QImage& image) {
    long long sum = 0;
    long long count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kMagenta) continue;
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count == 0 ? -1 : static_cast<int>(sum / count);
}

TEST(ArtResources, KeyedPicturesHaveCopiesForDarkWindowsAndTheLogoTurnsLight) {
    for (int id : kKeyedOnMagenta) {
        SCOPED_TRACE(id);
        for (int scale : {1, 2}) {
            const QImage dark = QImage(art::BitmapResource(id, art::Tone::Dark, scale))
                                    .convertToFormat(QImage::Format_ARGB32);
            const QImage light = QImage(art::BitmapResource(id, art::Tone::Light, scale))
                                     .convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(dark.isNull());
            EXPECT_EQ(dark.size(), light.size());
            for (QRgb corner : Corners(dark)) EXPECT_EQ(corner, kMagenta);
        }
    }
    const QImage darkLogo =
        QImage(art::BitmapResource(132, art::Tone::Dark)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(DrawnLuma(darkLogo), 180) << "light ink on a dark window";
    EXPECT_LT(DrawnLuma(Bitmap(132)), 100) << "dark ink on a light window";
}
