#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTimerEvent>

#include "app/BootloaderApp.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/LayoutChecks.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/pages/CAboutDialog.h"
#include "ui/pages/CAlertMessageDialog.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/pages/CInitialSplash.h"
#include "ui/templates/WizardTemplates.h"

namespace {

class ScreenshotTest : public uitest::QtTest {
protected:
    // Checks the open page as its user sees it, with the texts it has put in, then grabs it
    // into <build>/screenshots/<name>.png.
    static void CheckAndSave(QDialog& page, const dialog::DialogTemplate& shownTemplate,
                             const char* name) {
        SCOPED_TRACE(name);
        uitest::ExpectNothingCutOrCovered(page, shownTemplate);
        uitest::SaveScreenshot(page, QString::fromLatin1(name));
        page.reject();
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
};

}  // namespace

TEST_F(ScreenshotTest, EveryPageShowsItsTextsWholeOnceOpened) {
    CInitialSplash splash;
    splash.open();
    QTimerEvent tick(splash.m_timerId);
    QCoreApplication::sendEvent(&splash, &tick);
    CheckAndSave(splash, templates::SplashTemplate(), "splash");

    CAboutDialog about;
    about.open();
    CheckAndSave(about, templates::AboutTemplate(), "about");

    CAlertMessageDialog alert;
    alert.open();
    CheckAndSave(alert, templates::AlertTemplate(), "alert");

    uitest::PageEnvironment::SetPorts({{"COM1", "Communications Port (/dev/ttyS0) (COM1)"},
                                       {"COM33", "FT232R USB UART (/dev/ttyUSB0) (COM33)"}});
    CConfigurationDialog configuration(theApp(), boxes_);
    configuration.open();
    CheckAndSave(configuration, templates::ConfigurationTemplate(), "configuration");

    BoardOptions silent;
    silent.faults.silent = true;
    const auto board = uitest::PageEnvironment::StartBoard(45, silent);
    ASSERT_TRUE(board);
    ASSERT_TRUE(uitest::PageEnvironment::OpenPort(45));
    ManualClock clock;
    CDetectionDialog detection(theApp(), boxes_, clock);
    detection.open();
    // 17 of the 44 seconds have passed.
    for (int i = 0; i < 17; ++i) {
        clock.Advance(std::chrono::seconds(1));
        QTimerEvent second(detection.m_timerId);
        QCoreApplication::sendEvent(&detection, &second);
    }
    EXPECT_EQ(detection.m_progress->value(), 18);
    CheckAndSave(detection, templates::DetectionTemplate(), "detection");
    EXPECT_TRUE(boxes_.boxes.empty());
}
