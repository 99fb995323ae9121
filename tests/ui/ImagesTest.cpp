#include <gtest/gtest.h>

#include <QImage>

#include "tests/ui/support/QtTestApp.h"
#include "ui/Images.h"

namespace {

class ImagesTest : public uitest::QtTest {};

QImage Loaded(int id) {
    return LoadBitmap(id).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(ImagesTest, ButtonsLampsAndCleanLeaveTheirDialogBackgroundOut) {
    // run button (other set's grey), green lamp of the XP set, clean image of the other set
    for (int id : {238, 229, 232}) {
        const QImage image = Loaded(id);
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << id;
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << id;
    }
}

TEST_F(ImagesTest, PicturesKeepEveryPixel) {
    // the configuration page's picture (a light card) and the logo (magenta, keyed by its control)
    for (int id : {130, 132}) {
        const QImage image = Loaded(id);
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255) << id;
    }
    EXPECT_TRUE(LoadBitmap(99999).isNull());
}

}  // namespace
