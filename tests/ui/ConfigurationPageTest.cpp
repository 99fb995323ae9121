#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/Product.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/PortChoice.h"

namespace {

class ConfigurationPageTest : public uitest::QtTest {
protected:
    static void SetSixteenPorts() {
        std::vector<std::pair<std::string, std::string>> ports;
        for (int n = 1; n <= 16; ++n)
            ports.emplace_back("COM" + std::to_string(n), "COM" + std::to_string(n));
        uitest::PageEnvironment::SetPorts(ports);
    }
    static void Store(const char* name, const char* text) {
        ASSERT_EQ(WriteSettingString(text, product::kSettingsKey, name), 0);
    }
    static std::optional<std::string> Stored(const char* name) {
        char text[kSettingTextBytes] = {};
        if (ReadSettingString(text, product::kSettingsKey, name) != 0) return std::nullopt;
        return std::string(text);
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
};

}  // namespace

TEST_F(ConfigurationPageTest, DefaultsAndStoredChoicesArePreselectedByPrefixFromPositionOne) {
    SetSixteenPorts();
    CConfigurationDialog fresh(theApp(), boxes_);
    fresh.open();
    ASSERT_EQ(fresh.m_comboPort->count(), 16);
    EXPECT_EQ(fresh.m_comboPort->currentIndex(), 0);
    ASSERT_EQ(fresh.m_comboBaud->count(), 5);
    EXPECT_EQ(fresh.m_comboBaud->itemText(0), "9600");
    EXPECT_EQ(fresh.m_comboBaud->currentText(), "115200");
    fresh.reject();

    Store("com", "com1");
    Store("baudrate", "1");
    CConfigurationDialog page(theApp(), boxes_);
    page.open();
    EXPECT_EQ(page.m_comboPort->currentText(), "COM10") << "the search starts after position 0";
    EXPECT_EQ(page.m_comboBaud->currentText(), "19200");
    page.reject();

    Store("com", "COM3");
    Store("baudrate", "9600");
    CConfigurationDialog exact(theApp(), boxes_);
    exact.open();
    EXPECT_EQ(exact.m_comboPort->currentText(), "COM3");
    EXPECT_EQ(exact.m_comboBaud->currentText(), "9600");
    exact.reject();

    Store("com", "ttyUSB");
    Store("baudrate", "300");
    CConfigurationDialog unmatched(theApp(), boxes_);
    unmatched.open();
    EXPECT_EQ(unmatched.m_comboPort->currentIndex(), 0);
    EXPECT_EQ(unmatched.m_comboBaud->currentText(), "115200");
    unmatched.reject();
}

TEST_F(ConfigurationPageTest, TheStoredResetIsPreselectedAndAnotherSequenceIsOfferedAsItIs) {
    struct Row {
        const char* stored;  // null: no setting
        int count;
        const char* selected;
    };
    const Row rows[] = {
        {nullptr, 5, "none"},
        {"dtr", 5, "DTR"},
        {"rts-inverted", 5, "RTS inverted"},
        {"dtr=0,rts=1,wait=50,dtr=1", 6, "dtr=0,rts=1,wait=50,dtr=1"},
        {"dsr", 5, "none"},
        {"none", 5, "none"},
    };
    uitest::PageEnvironment::SetPorts({{"COM1", "COM1"}});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored ? row.stored : "no setting");
        if (row.stored != nullptr) Store("reset", row.stored);
        CConfigurationDialog page(theApp(), boxes_);
        page.open();
        ASSERT_EQ(page.m_comboReset->count(), row.count);
        EXPECT_EQ(page.m_comboReset->itemText(0), "none");
        EXPECT_EQ(page.m_comboReset->itemText(3), "DTR inverted");
        EXPECT_EQ(page.m_comboReset->currentText(), row.selected);
        page.reject();
    }
}

TEST_F(ConfigurationPageTest, PortNumberFollowsTheFirstThreeCharacters) {
    EXPECT_EQ(PortNumberFromName("COM12"), 12);
    EXPECT_EQ(PortNumberFromName("COM 7"), 7);
    EXPECT_EQ(PortNumberFromName("COM+3x"), 3);
    EXPECT_EQ(PortNumberFromName("COM-3"), -3);
    EXPECT_EQ(PortNumberFromName("COM"), 0);
    EXPECT_EQ(PortNumberFromName("CO"), 0);
    EXPECT_EQ(PortNumberFromName("COMx1"), 0);
    EXPECT_EQ(PortNumberFromName("COM99999999999999999999"), 0) << "no overflow";
    EXPECT_EQ(BaudRateFromText("115200"), 115200);
    EXPECT_EQ(FindPrefixFrom({"COM1", "COM2"}, "com1", 1), 0) << "wraps around to position 0";
}

TEST_F(ConfigurationPageTest, OkOpensThePortAndTakesTheTexts) {
    const auto board = uitest::PageEnvironment::StartBoard(41);
    ASSERT_TRUE(board);
    uitest::PageEnvironment::SetPorts({{"COM3", "first (COM3)"}, {"COM41", "board (COM41)"}});
    CConfigurationDialog page(theApp(), boxes_);
    page.open();
    page.m_comboPort->setCurrentIndex(1);
    page.m_comboBaud->setCurrentIndex(2);
    page.m_comboReset->setCurrentIndex(3);
    dialog::FindControlAs<QPushButton>(&page, dialog::kIdOk)->click();

    EXPECT_EQ(page.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(theApp().m_comNumber, 41);
    EXPECT_EQ(theApp().m_baudRate, 38400);
    EXPECT_EQ(theApp().m_serialPort.lineSettings.baudRate, 38400u);
    EXPECT_EQ(page.m_strCom, "board (COM41)");
    EXPECT_EQ(page.m_strBaud, "38400");
    EXPECT_EQ(page.m_strReset, "dtr-inverted") << "stored as pelorant-cli's --reset takes it";
    EXPECT_EQ(theApp().m_reset, "dtr-inverted");
}

TEST_F(ConfigurationPageTest, AFailedOpenShowsTheTriedPortAndRateAndCancels) {
    uitest::PageEnvironment::SetPorts({{"COM57", "nothing here (COM57)"}});
    CConfigurationDialog page(theApp(), boxes_);
    page.open();
    page.m_comboBaud->setCurrentIndex(3);
    page.accept();

    EXPECT_EQ(page.result(), QDialog::Rejected);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text,
              "Failed while configuring COM57 at 57600 bps.\nCheck that the port is not used for "
              "another application\nand restart vardeno dsPIC bootloader.");
    EXPECT_EQ(boxes_.boxes[0].caption, "configuring process failed");
    EXPECT_EQ(boxes_.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(theApp().m_comNumber, 57);
    EXPECT_EQ(theApp().m_baudRate, 57600);
    EXPECT_TRUE(page.m_strCom.isEmpty());
    EXPECT_FALSE(Stored("com"));
    EXPECT_FALSE(Stored("baudrate"));
}
