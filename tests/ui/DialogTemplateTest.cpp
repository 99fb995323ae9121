#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "tests/ui/support/QtTestApp.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/controls/CTransparentStatic2.h"

using namespace dialog;

namespace {

class DialogTemplateTest : public uitest::QtTest {};

DialogTemplate EveryKind() {
    return DialogTemplate{
        .id = 900,
        .caption = "every kind",
        .width = 200,
        .height = 120,
        .style = kSystemMenu,
        .controls =
            {
                {.id = 10,
                 .kind = ControlKind::Text,
                 .text = "Load && &Write",
                 .x = 4,
                 .y = 4,
                 .width = 60,
                 .height = 8,
                 .style = kAlignRight | kDisabled},
                {.id = 11,
                 .kind = ControlKind::DropDownList,
                 .text = "",
                 .x = 70,
                 .y = 4,
                 .width = 60,
                 .height = 60},
                {.id = 12,
                 .kind = ControlKind::CheckBox,
                 .text = "&tick",
                 .x = 4,
                 .y = 20,
                 .width = 40,
                 .height = 10,
                 .style = kHidden},
                {.id = 13,
                 .kind = ControlKind::DefaultPushButton,
                 .text = "OK",
                 .x = 140,
                 .y = 4,
                 .width = 50,
                 .height = 14},
                {.id = kNoId,
                 .kind = ControlKind::GroupBox,
                 .text = "frame",
                 .x = 2,
                 .y = 2,
                 .width = 196,
                 .height = 40},
                {.id = 14,
                 .kind = ControlKind::ProgressBar,
                 .text = "",
                 .x = 4,
                 .y = 50,
                 .width = 100,
                 .height = 8},
                {.id = 15,
                 .kind = ControlKind::ReportList,
                 .text = "",
                 .x = 4,
                 .y = 60,
                 .width = 100,
                 .height = 50},
                {.id = 16,
                 .kind = ControlKind::BitmapButton,
                 .text = "&o",
                 .x = 110,
                 .y = 60,
                 .width = 34,
                 .height = 26},
                {.id = 17,
                 .kind = ControlKind::Link,
                 .text = "www.example.com",
                 .x = 110,
                 .y = 90,
                 .width = 70,
                 .height = 8},
                {.id = 18,
                 .kind = ControlKind::TransparentPicture,
                 .text = "",
                 .x = 150,
                 .y = 60,
                 .width = 20,
                 .height = 20},
                {.id = 19,
                 .kind = ControlKind::TransparentText,
                 .text = "ver.",
                 .x = 150,
                 .y = 82,
                 .width = 40,
                 .height = 9},
                {.id = 20,
                 .kind = ControlKind::ImagePushButton,
                 .text = "&clean",
                 .x = 150,
                 .y = 95,
                 .width = 31,
                 .height = 24},
            },
        .tabOrder = {13, 15, 11},
    };
}

QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}

}  // namespace

TEST_F(DialogTemplateTest, DialogUnitsScaleByTheFontsBaseUnitsRoundingHalvesUp) {
    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(DialogUnitsToPixelsX(317, base), 476);  // 475.5
    EXPECT_EQ(DialogUnitsToPixelsY(127, base), 206);  // 206.375
    EXPECT_EQ(DialogUnitsToPixelsX(311, base), 467);
    EXPECT_EQ(DialogUnitsToPixelsY(126, base), 205);  // 204.75
    EXPECT_EQ(DialogUnitsToPixels(QRect(4, 8, 10, 16), base), QRect(6, 13, 15, 26));

    const DialogBaseUnits measured = MeasureBaseUnits(DialogFont());
    EXPECT_GE(measured.x, 4);
    EXPECT_LE(measured.x, 9);
    EXPECT_GE(measured.y, 9);
    EXPECT_LE(measured.y, 20);
}

TEST_F(DialogTemplateTest, BuilderCreatesEveryControlAtItsPlaceFindableById) {
    QDialog dialog;
    BuildDialog(dialog, EveryKind());
    const DialogBaseUnits base = MeasureBaseUnits(DialogFont());

    EXPECT_EQ(dialog.windowTitle(), "every kind");
    EXPECT_EQ(dialog.size(),
              QSize(DialogUnitsToPixelsX(200, base), DialogUnitsToPixelsY(120, base)));

    auto* text = FindControlAs<QLabel>(&dialog, 10);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Load & Write");
    EXPECT_TRUE(text->alignment() & Qt::AlignRight);
    EXPECT_FALSE(text->isEnabled());
    EXPECT_EQ(text->geometry(), DialogUnitsToPixels(QRect(4, 4, 60, 8), base));
    EXPECT_EQ(ControlId(text), 10);

    auto* combo = FindControlAs<QComboBox>(&dialog, 11);
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_LT(combo->height(), DialogUnitsToPixelsY(60, base)) << "one line, not the list";

    auto* check = FindControlAs<QCheckBox>(&dialog, 12);
    ASSERT_NE(check, nullptr);
    dialog.show();
    EXPECT_FALSE(check->isVisible());
    EXPECT_TRUE(FindControlAs<QPushButton>(&dialog, 13)->isDefault());
    EXPECT_NE(FindControlAs<QProgressBar>(&dialog, 14), nullptr);
    EXPECT_NE(FindControlAs<QTreeWidget>(&dialog, 15), nullptr);
    EXPECT_NE(FindControlAs<CBitmapButton>(&dialog, 16), nullptr);
    EXPECT_EQ(FindControlAs<CHyperlinkStatic>(&dialog, 17)->Text(), "www.example.com");
    EXPECT_NE(FindControlAs<CTransparentBitmapStatic>(&dialog, 18), nullptr);
    EXPECT_EQ(FindControlAs<CTransparentStatic2>(&dialog, 19)->text(), "ver.");
    auto* clean = FindControlAs<QPushButton>(&dialog, 20);
    ASSERT_NE(clean, nullptr);
    EXPECT_TRUE(clean->text().isEmpty());
    EXPECT_EQ(clean->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));

    EXPECT_EQ(FindControl(&dialog, 99), nullptr);
    EXPECT_EQ(FindControlAs<QComboBox>(&dialog, 10), nullptr) << "wrong class gives null";
    EXPECT_EQ(FindControl(&dialog, kNoId), nullptr);
}

TEST_F(DialogTemplateTest, GroupBoxesStayBehindAndTabOrderFollowsTheTemplate) {
    QDialog dialog;
    BuildDialog(dialog, EveryKind());
    auto* group = dialog.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(dialog.children().indexOf(group), 0) << "lowest in the stacking order";

    QWidget* ok = FindControl(&dialog, 13);
    EXPECT_EQ(NextTabStop(ok), FindControl(&dialog, 15));
    EXPECT_EQ(NextTabStop(FindControl(&dialog, 15)), FindControl(&dialog, 11));
}

TEST_F(DialogTemplateTest, PopupWithoutTitleGetsAThinFrame) {
    QDialog dialog;
    BuildDialog(dialog, DialogTemplate{.id = 901,
                                       .caption = "",
                                       .width = 40,
                                       .height = 20,
                                       .style = kNoTitle | kThinBorder,
                                       .controls = {},
                                       .tabOrder = {}});
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    auto* frame = dialog.findChild<QFrame*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), dialog.rect());
    EXPECT_TRUE(frame->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(DialogTemplateTest, StaticTextsFollowTheMnemonicConvention) {
    EXPECT_EQ(ShownStaticText("Load && Write"), "Load & Write");
    EXPECT_EQ(ShownStaticText("&clean"), "clean");
    EXPECT_EQ(ShownStaticText("a&&&b&"), "a&b");
    EXPECT_EQ(ShownStaticText(""), "");
}
