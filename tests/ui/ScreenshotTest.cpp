#include <gtest/gtest.h>

#include <QTimerEvent>

#include "app/BootloaderApp.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/pages/CAboutDialog.h"
#include "ui/pages/CAlertMessageDialog.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/pages/CInitialSplash.h"

namespace {

class ScreenshotTest : public uitest::QtTest {
protected:
    // Grabs the open page into <build>/screenshots/<name>.png.
    static void Save(QDialog& page, const char* name) {
        const QImage image = uitest::Snapshot(page);
        EXPECT_EQ(image.size(), page.size());
        uitest::SaveScreenshot(page, QString::fromLatin1(name));
        page.reject();
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
};

}  // namespace

TEST_F(ScreenshotTest, EveryPageIsSavedAsItLooks) {
    CInitialSplash splash;
    splash.open();
    QTimerEvent tick(splash.m_timerId);
    QCoreApplication::sendEvent(&splash, &tick);
    Save(splash, "splash");

    CAboutDialog about;
    about.open();
    Save(about, "about");

    CAlertMessageDialog alert;
    alert.open();
    Save(alert, "alert");

    uitest::PageEnvironment::SetPorts({{"COM1", "Communications Port (/dev/ttyS0) (COM1)"},
                                       {"COM33", "FT232R USB UART (/dev/ttyUSB0) (COM33)"}});
    CConfigurationDialog configuration(theApp(), boxes_);
    configuration.open();
    Save(configuration, "configuration");

    BoardOptions silent;
    silent.faults.silent = true;
    const auto board = uitest::PageEnvironment::StartBoard(45, silent);
    ASSERT_TRUE(board);
    ASSERT_TRUE(uitest::PageEnvironment::OpenPort(45));
    CDetectionDialog detection(theApp(), boxes_);
    detection.open();
    for (int i = 0; i < 17; ++i) {
        QTimerEvent second(detection.m_timerId);
        QCoreApplication::sendEvent(&detection, &second);
    }
    Save(detection, "detection");
    EXPECT_TRUE(boxes_.boxes.empty());
}
