#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QTimerEvent>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/Product.h"
#include "serial/CSerialPort.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/QtStartupPages.h"
#include "ui/pages/CAlertMessageDialog.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/pages/CInitialSplash.h"
#include "ui/templates/WizardTemplates.h"

namespace {

constexpr int kCom = 44;

// Plays the user: hurries the splash, picks the board's port, confirms the alert with its
// box ticked, waits for the detection page to end itself and closes the main window. Gives
// up, closing whatever is open, when the program takes far too long.
class User : public QObject {
public:
    User() {
        clock_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
        timer_.start();
    }

    QStringList pagesSeen;

private:
    void Note(const QString& page) {
        if (pagesSeen.isEmpty() || pagesSeen.last() != page) pagesSeen << page;
    }

    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (clock_.elapsed() > 60000) {
            Note("gave up");
            modal->close();
        } else if (auto* splash = dynamic_cast<CInitialSplash*>(modal)) {
            Note("splash");
            QTimerEvent tick(splash->m_timerId);
            QCoreApplication::sendEvent(splash, &tick);
        } else if (auto* configuration = dynamic_cast<CConfigurationDialog*>(modal)) {
            Note("configuration");
            const int board = configuration->m_comboPort->findText(
                QStringLiteral("(COM%1)").arg(kCom), Qt::MatchEndsWith);
            ASSERT_GE(board, 0);
            configuration->m_comboPort->setCurrentIndex(board);
            configuration->accept();
        } else if (auto* alert = dynamic_cast<CAlertMessageDialog*>(modal)) {
            Note("alert");
            dialog::FindControlAs<QCheckBox>(alert, templates::kIdcDontRemember)->setChecked(true);
            alert->accept();
        } else if (dynamic_cast<CDetectionDialog*>(modal) != nullptr) {
            Note("detection");
        } else if (modal->inherits("CLoadAndWriteDialog")) {
            Note("main window");
            modal->close();
        }
    }

    QElapsedTimer clock_;
    QTimer timer_;
};

class StartupProgramTest : public uitest::QtTest {
protected:
    void SetUp() override {
        board_ = uitest::PageEnvironment::StartBoard(kCom);
        ASSERT_TRUE(board_);
        ASSERT_TRUE(uitest::PageEnvironment::WriteInstalledSettings(1));
    }

    static std::optional<std::string> Stored(const char* name) {
        char text[kSettingTextBytes] = {};
        if (ReadSettingString(text, product::kSettingsKey, name) != 0) return std::nullopt;
        return std::string(text);
    }
    static std::int32_t Alert() {
        std::int32_t value = -1;
        ReadSettingDword(&value, product::kSettingsKey, "alert");
        return value;
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
    std::unique_ptr<VirtualBoard> board_;
};

}  // namespace

TEST_F(StartupProgramTest, RunsFromStartToTheIdentifiedDevice) {
    User user;
    QtStartupPages pages(theApp(), boxes_);
    EXPECT_FALSE(theApp().InitInstance(pages));

    EXPECT_EQ(user.pagesSeen,
              (QStringList{"splash", "configuration", "alert", "detection", "main window"}));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "dsPIC30F4011 detected\nfirmware version: 1.4");
    EXPECT_STREQ(theApp().m_device.name, "dsPIC30F4011");
    EXPECT_EQ(theApp().m_comNumber, kCom);
    EXPECT_EQ(theApp().m_baudRate, 115200);
    const std::optional<std::string> com = Stored("com");
    ASSERT_TRUE(com);
    EXPECT_NE(com->find("(COM44)"), std::string::npos);
    EXPECT_EQ(Stored("baudrate"), "115200");
    EXPECT_EQ(Alert(), 0) << "the alert's box was ticked";
}

TEST_F(StartupProgramTest, APortThatWillNotOpenEndsTheProgramWithoutSavingTheChoices) {
    CSerialPort holder;  // another program has the port
    ASSERT_NE(holder.InitPort(kCom, 115200, 'N', 8, 1, 9, 512), 0);
    ASSERT_EQ(WriteSettingDword(0, product::kSettingsKey, "alert"), 0);

    User user;
    QtStartupPages pages(theApp(), boxes_);
    theApp().InitInstance(pages);
    holder.ClosePort();

    EXPECT_EQ(user.pagesSeen, (QStringList{"splash", "configuration"}));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text,
              "Failed while configuring COM44 at 115200 bps.\nCheck that the port is not used for "
              "another application\nand restart vardeno dsPIC bootloader.");
    EXPECT_FALSE(Stored("com"));
    EXPECT_FALSE(Stored("baudrate"));
    EXPECT_EQ(Alert(), 1);
}
