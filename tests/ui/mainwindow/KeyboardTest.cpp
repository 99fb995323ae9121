#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

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

// Enter meant for a control asks before it ends the session; the ways meant to close don't.
TEST_F(KeyboardTest, ReturnElsewhereAsksBeforeItEndsTheWindow) {
    struct Case {
        const char* what;
        std::function<void()> act;
        std::optional<BoxAnswer> answer;  // none: no question
        bool ends;
    };
    const auto enterOnFlash = [this] { PressReturnOn(kIdcProgramFlash); };
    const Case cases[] = {
        {"Enter, No", enterOnFlash, BoxAnswer::No, false},
        {"Enter, Yes", enterOnFlash, BoxAnswer::Yes, true},
        {"Escape", [this] { QTest::keyClick(window_.get(), Qt::Key_Escape); }, std::nullopt, true},
        {"close box", [this] { window_->close(); }, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!window_->isVisible()) MakeWindow();
        boxes_.boxes.clear();
        if (c.answer) boxes_.QueueAnswer(*c.answer);
        c.act();
        if (c.answer) {
            ASSERT_EQ(boxes_.boxes.size(), 1u);
            EXPECT_EQ(boxes_.boxes[0].text, "Close Pelorant?");
            EXPECT_EQ(boxes_.boxes[0].caption, "Pelorant");
            EXPECT_EQ(boxes_.boxes[0].buttons, BoxButtons::YesNoDefaultNo);
        } else {
            EXPECT_TRUE(boxes_.boxes.empty());
        }
        EXPECT_EQ(window_->isVisible(), !c.ends);
        if (!c.ends) {
            EXPECT_TRUE(Enabled(kIdcWrite)) << "the detected board is still there";
        }
    }
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

TEST_F(KeyboardTest, AboutBoxOpensFromTheButtonBesideTheLogoF1AndTheContextMenu) {
    auto* button = qobject_cast<QAbstractButton*>(Widget(kIdcAbout));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->toolTip(), "About Pelorant (F1)");
    bool fromButton = false;
    CloseAboutBoxWhenItOpens(fromButton);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(fromButton);

    bool fromKey = false;
    CloseAboutBoxWhenItOpens(fromKey);
    QTest::keyClick(Widget(kIdcLog), Qt::Key_F1);
    EXPECT_TRUE(fromKey);

    bool fromMenu = false;
    QTimer::singleShot(50, [&fromMenu] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 2);
        EXPECT_EQ(menu->actions()[0]->text(), "&About Pelorant...");
        EXPECT_EQ(menu->actions()[1]->text(), "&Production...");
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
