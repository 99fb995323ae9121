#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/pages/CAboutDialog.h"

using namespace mainwindow;

namespace {

using LogLine = std::pair<std::string, std::string>;

class KeyboardTest : public MainWindowTest {
protected:
    void SetUp() override {
        Connect();
        MakeWindow();
        Open(SampleHexPath());
        ASSERT_TRUE(Enabled(kIdcWrite));
    }

    void PressReturnOn(int id) {
        Widget(id)->setFocus();
        QTest::keyClick(Widget(id), Qt::Key_Return);
    }

    // Closes the about box shortly; `seen` tells whether it was up.
    static void CloseAboutBoxWhenItOpens(bool& seen) {
        QTimer::singleShot(50, [&seen] {
            if (auto* about = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                about->reject();
            }
        });
    }
};

TEST_F(KeyboardTest, ReturnOnReloadReloadsAndKeepsTheFocus) {
    PressReturnOn(kIdcReload);
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"Reloading", "ok"}));
    EXPECT_EQ(window_->focusWidget(), Widget(kIdcReload));
    EXPECT_TRUE(window_->isVisible()) << "the key never reaches the dialog";
}

TEST_F(KeyboardTest, ReturnOnWriteStartsTheWriteAndMovesToOpen) {
    PressReturnOn(kIdcWrite);
    EXPECT_EQ(Control().Busy(), 1);
    EXPECT_EQ(window_->focusWidget(), Widget(kIdcWrite)) << "open is disabled while writing";
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"dsPIC write process completed", "ok"}));

    qobject_cast<QCheckBox*>(Widget(kIdcProgramFlash))->setChecked(false);
    qobject_cast<QCheckBox*>(Widget(kIdcWriteEeprom))->setChecked(false);
    PressReturnOn(kIdcWrite);
    EXPECT_EQ(boxes_.boxes.back().text, "no memory blocks selected!");
    EXPECT_EQ(window_->focusWidget(), Widget(kIdcOpen));
}

TEST_F(KeyboardTest, ReturnElsewhereEndsTheWindowAsItsOk) {
    PressReturnOn(kIdcProgramFlash);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Accepted);
}

TEST_F(KeyboardTest, MnemonicsRunTheirCommands) {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_W, Qt::AltModifier);
    ASSERT_TRUE(uitest::PumpUntil([this] { return Control().Busy() == 1; }, 5000));
    ASSERT_TRUE(WaitWhileBusy());

    fileChoices_.push_back(SampleHexPath().string());
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(uitest::PumpUntil([this] { return fileChoices_.empty(); }, 5000));

    QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(uitest::PumpUntil([this] { return LogRows(*window_).empty(); }, 5000));
}

TEST_F(KeyboardTest, AboutBoxOpensFromF1AndFromTheContextMenu) {
    bool fromKey = false;
    CloseAboutBoxWhenItOpens(fromKey);
    QTest::keyClick(Widget(kIdcLog), Qt::Key_F1);
    EXPECT_TRUE(fromKey);

    bool fromMenu = false;
    QTimer::singleShot(50, [&fromMenu] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->text(), "&About Pelorant...");
        CloseAboutBoxWhenItOpens(fromMenu);
        menu->actions()[0]->trigger();
        menu->close();
    });
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 10),
                              window_->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(window_.get(), &request);
    EXPECT_TRUE(uitest::PumpUntil([&fromMenu] { return fromMenu; }, 5000));
}

}  // namespace
