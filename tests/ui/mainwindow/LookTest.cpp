// Page 3/3 as a user sees it: the log stays readable and in view, the focus stays visible and
// goes where the keyboard table puts it, the window fits every installed style and reads on a
// light and a dark desktop (whose pictures are the README's screenshots).

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdlib>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "tests/ui/support/LayoutChecks.h"
#include "ui/Contrast.h"
#include "ui/art/ArtResources.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/mainwindow/LogList.h"

using namespace mainwindow;

namespace {

// Keeps the application's style and palette as they were before the test changed them.
class StyleGuard {
public:
    StyleGuard() : style_(QApplication::style()->name()), palette_(QApplication::palette()) {}
    ~StyleGuard() {
        QApplication::setStyle(QStyleFactory::create(style_));
        QApplication::setPalette(palette_);
    }

private:
    QString style_;
    QPalette palette_;
};

class LookTest : public MainWindowTest {
protected:
    QTreeWidget& LogView() const { return *qobject_cast<QTreeWidget*>(Widget(kIdcLog)); }

    void MakeActiveWindow() {
        MakeWindow();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    // How many pixels of the newest line are drawn near `colour`.
    int PixelsOfNewestLineNear(const QColor& colour) {
        QTreeWidget& list = LogView();
        QTreeWidgetItem* newest = list.topLevelItem(list.topLevelItemCount() - 1);
        const QRect row = list.visualItemRect(newest);
        const QImage shown = uitest::Snapshot(*list.viewport());
        int near = 0;
        for (int y = row.top(); y <= row.bottom(); ++y) {
            for (int x = row.left(); x <= row.right(); ++x) {
                const QColor pixel = shown.pixelColor(x, y);
                if (std::abs(pixel.red() - colour.red()) +
                        std::abs(pixel.green() - colour.green()) +
                        std::abs(pixel.blue() - colour.blue()) <
                    40) {
                    ++near;
                }
            }
        }
        return near;
    }

    StyleGuard guard_;
};

TEST_F(LookTest, TheNewestLineStaysInViewWithoutAHorizontalScrollBar) {
    Connect();
    MakeWindow();
    QTreeWidget& list = LogView();
    for (int i = 0; i < 40; ++i) {
        window_->AddLogLine("a line of the log with a message of some length", "ok");
        QCoreApplication::processEvents();
        EXPECT_FALSE(list.horizontalScrollBar()->isVisible())
            << "after line " << i + 1 << " header " << list.header()->length() << " viewport "
            << list.viewport()->width() << " list " << list.width() << " max "
            << list.horizontalScrollBar()->maximum();
    }
    EXPECT_TRUE(list.verticalScrollBar()->isVisible());
    EXPECT_EQ(list.header()->length(), list.viewport()->width());
    const QRect newest = list.visualItemRect(list.topLevelItem(list.topLevelItemCount() - 1));
    EXPECT_TRUE(list.viewport()->rect().contains(newest)) << "the newest line is fully shown";
}

TEST_F(LookTest, TheLogSelectsNothingAndTheNewestLineKeepsItsColourWithTheFocus) {
    Connect();
    MakeActiveWindow();
    QTreeWidget& list = LogView();
    list.setFocus();
    ASSERT_TRUE(list.hasFocus());
    window_->AddLogLine("a new line", "ok");
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_GT(PixelsOfNewestLineNear(kLogOkColour), 0) << "green, whatever has the focus";
    EXPECT_EQ(PixelsOfNewestLineNear(list.palette().color(QPalette::Highlight)), 0)
        << "no selection colour behind it";
}

TEST_F(LookTest, ADisabledButtonParksTheFocusOnTheWindowNotInTheLog) {
    Connect();
    MakeActiveWindow();
    Open(SampleHexPath());
    Widget(kIdcOpen)->setFocus();
    ASSERT_TRUE(Widget(kIdcOpen)->hasFocus());
    QTest::keyClick(window_.get(), Qt::Key_W, Qt::AltModifier);
    ASSERT_TRUE(uitest::PumpUntil([this] { return Control().Busy() == 1; }, 5000));
    EXPECT_FALSE(Enabled(kIdcOpen));
    EXPECT_FALSE(LogView().hasFocus()) << "a disabled button does not hand the focus to the log";
    EXPECT_EQ(QApplication::focusWidget(), window_.get());
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_TRUE(LogView().selectedItems().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Widget(kIdcOpen)) << "back once it is enabled";
}

TEST_F(LookTest, ReturnOnWriteEndsOnOpenOnceTheWriteIsDone) {
    Connect();
    MakeActiveWindow();
    Open(SampleHexPath());
    Widget(kIdcWrite)->setFocus();
    QTest::keyClick(Widget(kIdcWrite), Qt::Key_Return);
    ASSERT_EQ(Control().Busy(), 1);
    EXPECT_FALSE(LogView().hasFocus());
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(QApplication::focusWidget(), Widget(kIdcOpen)) << "where Enter on write sends it";
}

TEST_F(LookTest, AWriteStartedWithTheMouseGivesTheFocusBackToWrite) {
    Connect();
    MakeActiveWindow();
    Open(SampleHexPath());
    QTest::mouseClick(Widget(kIdcWrite), Qt::LeftButton);
    ASSERT_EQ(Control().Busy(), 1);
    EXPECT_FALSE(LogView().hasFocus());
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(QApplication::focusWidget(), Widget(kIdcWrite));
}

TEST_F(LookTest, TheCleanButtonShowsItsFocusAndIsNoDefaultButton) {
    Connect();
    MakeActiveWindow();
    auto* clean = qobject_cast<QPushButton*>(Widget(kIdcCleanLog));
    EXPECT_FALSE(clean->isDefault());
    const QImage unfocused = uitest::Snapshot(*clean);
    Widget(kIdcLog)->setFocus();
    QTest::keyClick(Widget(kIdcLog), Qt::Key_Tab);
    ASSERT_TRUE(clean->hasFocus());
    EXPECT_NE(uitest::Snapshot(*clean), unfocused) << "focus can be seen";

    window_->AddLogLine("to be cleaned", "ok");
    QTest::keyClick(clean, Qt::Key_Return);
    EXPECT_TRUE(LogRows(*window_).empty()) << "Enter on clean cleans";
    EXPECT_TRUE(window_->isVisible()) << "and does not end the window";
}

TEST_F(LookTest, TheWindowFitsEveryInstalledStyle) {
    Connect();
    for (const QString& style : uitest::InstalledStyles()) {
        SCOPED_TRACE(qPrintable(style));
        QApplication::setStyle(QStyleFactory::create(style));
        MakeWindow();
        Open(SampleHexPath());
        uitest::ExpectNothingCutOrCovered(*window_, LoadAndWriteTemplate());
        window_.reset();
    }
}

// The README's pictures, checked as a user reads them: on a light and on a dark desktop no text
// is cut and nothing overlaps, the pictures are the copies drawn for the window's tone, and the
// newest log line is green.
TEST_F(LookTest, TheWindowReadsInALightAndADarkStyle) {
    Connect();
    const bool adwaita = uitest::InstalledStyles().contains(QStringLiteral("Adwaita-Dark"));
    struct Look {
        const char* screenshot;
        QString style;
        bool dark;
    };
    const Look looks[] = {
        {"main-light", QStringLiteral("Fusion"), false},
        {"main-dark", adwaita ? QStringLiteral("Adwaita-Dark") : QStringLiteral("Fusion"), true},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.screenshot);
        QApplication::setStyle(QStyleFactory::create(look.style));
        QPalette palette = QApplication::style()->standardPalette();
        if (look.dark && !adwaita) {
            palette.setColor(QPalette::Window, QColor(53, 53, 53));
            palette.setColor(QPalette::WindowText, Qt::white);
            palette.setColor(QPalette::Base, QColor(35, 35, 35));
            palette.setColor(QPalette::Text, Qt::white);
            palette.setColor(QPalette::Button, QColor(53, 53, 53));
            palette.setColor(QPalette::ButtonText, Qt::white);
        }
        QApplication::setPalette(palette);
        MakeWindow();
        Open(SampleHexPath());

        const QColor window = window_->palette().color(QPalette::Window);
        ASSERT_EQ(IsDarkColour(window), look.dark);
        uitest::ExpectNothingCutOrCovered(*window_, LoadAndWriteTemplate());
        const art::Tone tone = look.dark ? art::Tone::Dark : art::Tone::Light;
        for (const auto& [id, bitmap] : {std::pair{kIdcLogo, 132}, std::pair{kIdcPicture, 233}}) {
            const auto* picture = qobject_cast<CTransparentBitmapStatic*>(Widget(id));
            EXPECT_EQ(
                picture->Bitmap().toImage().convertToFormat(QImage::Format_RGB32),
                QImage(art::BitmapResource(bitmap, tone)).convertToFormat(QImage::Format_RGB32))
                << "picture " << id;
        }
        EXPECT_GT(PixelsOfNewestLineNear(kLogOkColour), 0) << "the load's line is green";
        uitest::SaveScreenshot(*window_, QString::fromLatin1(look.screenshot));
        window_.reset();
    }
}

}  // namespace
