#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "tests/ui/support/QtTestApp.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

using namespace dialog;

namespace {

class DialogTemplateTest : public uitest::QtTest {};

// One control of every kind, ids 10 and up, each 20 DU below the previous one, and the widget
// class each must become.
struct KindCase {
    ControlKind kind;
    const char* className;
    const char* text;
};
const KindCase kKinds[] = {
    {ControlKind::Text, "QLabel", "Load && &Write"},
    {ControlKind::TransparentText, "CTransparentStatic2", "ver."},
    {ControlKind::GroupBox, "QGroupBox", "frame"},
    {ControlKind::Picture, "QLabel", ""},
    {ControlKind::TransparentPicture, "CTransparentBitmapStatic", ""},
    {ControlKind::PushButton, "QPushButton", "push"},
    {ControlKind::DefaultPushButton, "QPushButton", "OK"},
    {ControlKind::ImagePushButton, "QPushButton", "&clean"},
    {ControlKind::CheckBox, "QCheckBox", "&tick"},
    {ControlKind::DropDownList, "QComboBox", ""},
    {ControlKind::ProgressBar, "QProgressBar", ""},
    {ControlKind::ReportList, "QTreeWidget", ""},
    {ControlKind::BitmapButton, "CBitmapButton", "&o"},
    {ControlKind::Link, "CHyperlinkStatic", "www.example.com"},
    {ControlKind::ToolButton, "QToolButton", "?"},
};

DialogTemplate EveryKind() {
    DialogTemplate result{.id = 900,
                          .caption = "every kind",
                          .width = 200,
                          .height = 300,
                          .style = kSystemMenu,
                          .controls = {},
                          .tabOrder = {16, 21, 19}};
    int id = 10;
    for (const KindCase& c : kKinds) {
        result.controls.push_back({.id = id,
                                   .kind = c.kind,
                                   .text = c.text,
                                   .x = 4,
                                   .y = (id - 10) * 20,
                                   .width = 100,
                                   .height = 60});
        ++id;
    }
    result.controls[0].style = kAlignRight | kDisabled;
    result.controls[8].style = kHidden;
    return result;
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
    EXPECT_EQ(DialogUnitsToPixelsY(126, base), 205);  // 204.75
    EXPECT_EQ(DialogUnitsToPixels(QRect(4, 8, 10, 16), base), QRect(6, 13, 15, 26));

    const DialogBaseUnits measured = MeasureBaseUnits(DialogFont());
    EXPECT_GE(measured.x, 4);
    EXPECT_LE(measured.x, 9);
    EXPECT_GE(measured.y, 9);
    EXPECT_LE(measured.y, 20);
}

TEST_F(DialogTemplateTest, BuilderCreatesEveryKindAtItsPlaceFindableById) {
    QDialog dialog;
    BuildDialog(dialog, EveryKind());
    dialog.show();
    const DialogBaseUnits base = MeasureBaseUnits(DialogFont());
    EXPECT_EQ(dialog.windowTitle(), "every kind");
    EXPECT_EQ(dialog.size(),
              QSize(DialogUnitsToPixelsX(200, base), DialogUnitsToPixelsY(300, base)));

    int id = 10;
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(c.className);
        QWidget* control = FindControl(&dialog, id);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), c.className);
        EXPECT_EQ(ControlId(control), id);
        EXPECT_EQ(control->pos(),
                  DialogUnitsToPixels(QRect(4, (id - 10) * 20, 1, 1), base).topLeft());
        ++id;
    }
    auto* text = FindControlAs<QLabel>(&dialog, 10);
    EXPECT_EQ(text->text(), "Load & Write") << "mnemonic convention of statics";
    EXPECT_TRUE(text->alignment() & Qt::AlignRight);
    EXPECT_FALSE(text->isEnabled());
    EXPECT_EQ(text->size(), DialogUnitsToPixels(QRect(0, 0, 100, 60), base).size());
    EXPECT_FALSE(FindControl(&dialog, 18)->isVisible());
    EXPECT_LT(FindControl(&dialog, 19)->height(), DialogUnitsToPixelsY(60, base))
        << "a drop-down list is one line high, the list drops below it";
    EXPECT_TRUE(FindControlAs<QPushButton>(&dialog, 16)->isDefault());
    auto* clean = FindControlAs<QPushButton>(&dialog, 17);
    EXPECT_TRUE(clean->text().isEmpty());
    EXPECT_EQ(clean->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));

    EXPECT_EQ(FindControl(&dialog, 99), nullptr);
    EXPECT_EQ(FindControl(&dialog, kNoId), nullptr);
    EXPECT_EQ(FindControlAs<QPushButton>(&dialog, 10), nullptr) << "wrong class gives null";
}

TEST_F(DialogTemplateTest, GroupBoxesStayBehindAndTabOrderFollowsTheTemplate) {
    QDialog dialog;
    BuildDialog(dialog, EveryKind());
    EXPECT_EQ(dialog.children().indexOf(dialog.findChild<QGroupBox*>()), 0)
        << "lowest in the stacking order";
    EXPECT_EQ(NextTabStop(FindControl(&dialog, 15)), FindControl(&dialog, 16))
        << "template order by default";
    EXPECT_EQ(NextTabStop(FindControl(&dialog, 16)), FindControl(&dialog, 21));
    EXPECT_EQ(NextTabStop(FindControl(&dialog, 21)), FindControl(&dialog, 19));
}
