// The colours that follow the theme: the link's blue gives way to the palette's link colour
// where it would be hard to read, and dark windows get the pictures drawn for them.

#include <gtest/gtest.h>

#include <QDialog>
#include <QImage>
#include <QPalette>

#include "tests/ui/support/QtTestApp.h"
#include "ui/Contrast.h"
#include "ui/DialogTemplate.h"
#include "ui/Images.h"
#include "ui/art/ArtResources.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/controls/CTransparentBitmapStatic.h"

namespace {

class ContrastTest : public uitest::QtTest {};

const QColor kClassicBlue(0, 0, 255);
const QColor kPaletteLink(42, 130, 218);

QPalette WithWindow(const QColor& window) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Link, kPaletteLink);
    return palette;
}

TEST(Contrast, RatiosFollowTheAccessibilityFormula) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kClassicBlue, Qt::white), 8.59, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(53, 53, 53), kClassicBlue),
                ContrastRatio(kClassicBlue, QColor(53, 53, 53)), 1e-12);
}

struct WindowCase {
    QColor window;
    bool dark;
    QColor link;
};

const WindowCase kWindows[] = {
    {QColor(239, 239, 239), false, kClassicBlue},  // Fusion's light grey
    {QColor(212, 208, 200), false, kClassicBlue},  // the classic dialog grey
    {QColor(255, 255, 255), false, kClassicBlue},
    {QColor(130, 130, 130), false, kPaletteLink},  // mid grey: blue falls below 4.5:1
    {QColor(53, 53, 53), true, kPaletteLink},      // Adwaita-Dark
    {QColor(30, 30, 46), true, kPaletteLink},
    {QColor(0, 0, 0), true, kPaletteLink},
};

TEST(Contrast, DarkWindowsAndTheLinkColourFollowThePalette) {
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(qPrintable(c.window.name()));
        EXPECT_EQ(IsDarkColour(c.window), c.dark);
        EXPECT_EQ(LinkColour(WithWindow(c.window)), c.link);
    }
}

bool SameImage(const QPixmap& pixmap, int id, art::Tone tone) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32) ==
           QImage(art::BitmapResource(id, tone)).convertToFormat(QImage::Format_RGB32);
}

TEST_F(ContrastTest, APictureOnADarkWindowIsItsDarkCopy) {
    for (const int id : {132, 136, 233}) {
        EXPECT_TRUE(SameImage(LoadBitmapOn(id, QColor(53, 53, 53)), id, art::Tone::Dark)) << id;
        EXPECT_TRUE(SameImage(LoadBitmapOn(id, QColor(239, 239, 239)), id, art::Tone::Light)) << id;
    }
    EXPECT_TRUE(SameImage(LoadBitmapOn(130, QColor(53, 53, 53)), 130, art::Tone::Light))
        << "a picture without a dark copy is shown as it is";

    dialog::ControlTemplate logoControl;
    logoControl.id = 1034;
    logoControl.kind = dialog::ControlKind::TransparentPicture;
    logoControl.width = 156;
    logoControl.height = 39;
    logoControl.bitmap = 132;
    dialog::DialogTemplate withLogo;
    withLogo.caption = "logo";
    withLogo.width = 200;
    withLogo.height = 60;
    withLogo.controls = {logoControl};
    QDialog dark;
    dark.setPalette(WithWindow(QColor(53, 53, 53)));
    dialog::BuildDialog(dark, withLogo);
    const auto* logo = dialog::FindControlAs<CTransparentBitmapStatic>(&dark, 1034);
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(SameImage(logo->Bitmap(), 132, art::Tone::Dark));
}

TEST_F(ContrastTest, TheLinkIsDrawnInTheColourChosenForItsWindow) {
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(qPrintable(c.window.name()));
        QWidget parent;
        parent.setPalette(WithWindow(c.window));
        parent.setAutoFillBackground(true);
        parent.resize(200, 40);
        auto* link = new CHyperlinkStatic(QStringLiteral("www.example.com"), &parent);
        link->setGeometry(0, 0, 200, 40);
        const QImage shown = uitest::Snapshot(parent);
        bool found = false;
        for (int y = 0; y < shown.height() && !found; ++y) {
            for (int x = 0; x < shown.width() && !found; ++x) {
                found = shown.pixelColor(x, y) == c.link;
            }
        }
        EXPECT_TRUE(found) << "no pixel in " << qPrintable(c.link.name());
    }
}

}  // namespace
