// A reset chosen on page 1/3 resets the board through the adapter's modem lines on page 2/3
// and at each reconnect, instead of waiting for the user's hand. The board is wired to its
// DTR line and listens only right after a reset; the test's bridge carries the program's
// modem-line calls on the pseudo-terminal to it (the test runs with the bridge preloaded).
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimerEvent>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/BootloaderApp.h"
#include "tests/support/ManualClock.h"
#include "tests/tools/sim/ModemBridge.h"
#include "tests/ui/support/LayoutChecks.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/DialogTemplate.h"
#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/templates/WizardTemplates.h"

namespace {

constexpr int kCom = 47;
constexpr const char* kHandText =
    "Plug your dsPIC platform in the selected COM and start it.\nWait for dsPIC detection.";

class ResetLineTest : public uitest::QtTest {
protected:
    void SetUp() override {
        const char* preload = std::getenv("LD_PRELOAD");
        ASSERT_TRUE(preload != nullptr &&
                    std::string(preload).find("modem_bridge") != std::string::npos)
            << "run through ctest, which preloads the modem-line bridge";
        uitest::PageEnvironment::SetWorkingPath(uitest::PageEnvironment::CatalogueDirectory());
        theApp().m_osName = "nonXP";
        theApp().m_comNumber = kCom;
        theApp().m_baudRate = 115200;
    }

    void TearDown() override {
        theApp().m_serialPort.ClosePort();
        bridge_.reset();
        board_.reset();
    }

    // A board that answers only within a second of a reset on DTR, and that second is over.
    void StartBoardWiredToDtr(bool bridged = true) {
        BoardOptions options;
        options.resetLine = SerialModemLine::Dtr;
        options.listenWindow = std::chrono::milliseconds(1000);
        board_ = uitest::PageEnvironment::StartBoard(kCom, options);
        ASSERT_TRUE(board_);
        ASSERT_TRUE(NotListening());
        if (bridged) {
            bridge_.emplace([this](const std::string& device, board::ModemLineLevel level) {
                if (device == board_->DevicePath()) {
                    board_->SetModemLine(level.line, level.asserted);
                }
            });
        }
        ASSERT_TRUE(uitest::PageEnvironment::OpenPort(kCom));
    }

    bool NotListening() {
        return uitest::PumpUntil([this] { return board_->UserProgramRunning(); }, 10000);
    }

    // Page 2/3 until it ends itself; a page still waiting is given its time limit at once.
    QDialog::DialogCode RunDetectionPage(CDetectionDialog& page, bool giveUp) {
        page.open();
        // Its instruction, whichever it shows, fits the page.
        uitest::ExpectNothingCutOrCovered(page, templates::DetectionTemplate());
        if (giveUp) {
            for (int second = 0; second < CDetectionDialog::kLastStep; ++second) {
                clock_.Advance(std::chrono::seconds(1));
                QTimerEvent tick(page.m_timerId);
                QCoreApplication::sendEvent(&page, &tick);
            }
        }
        EXPECT_TRUE(uitest::PumpUntil([&] { return !page.isVisible(); }));
        return static_cast<QDialog::DialogCode>(page.result());
    }

    static QString PageText(const CDetectionDialog& page) {
        return dialog::FindControlAs<QLabel>(&page, templates::kIdcDetectionText)->text();
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
    ManualClock clock_;
    std::unique_ptr<VirtualBoard> board_;
    std::optional<boardtest::ModemBridge> bridge_;
};

TEST_F(ResetLineTest, PageTwoPlaysTheChosenResetInsteadOfWaitingForAHand) {
    // Detected; still waiting when the time limit is given; or ended by the page at once.
    enum class End { Detected, OutOfTime, AtOnce };
    struct Row {
        const char* reset;  // the setting page 1/3 left
        bool bridged;       // the port carries modem lines
        const char* text;   // the page's instruction
        End end;
        const char* said;  // in the page's box
    };
    const Row rows[] = {
        {"dtr", true,
         "Plug your dsPIC platform in the selected COM and power it.\nReset through DTR. Wait "
         "for dsPIC detection.",
         End::Detected, "dsPIC30F4011 detected\nfirmware version: 1.4"},
        {"", true, kHandText, End::OutOfTime,
         "\n\nno bootloader answered on COM47 within 44 s: reset the board while the detection "
         "waits, and check the baud rate and the cable"},
        {"none", true, kHandText, End::OutOfTime, "reset the board while the detection waits"},
        // The board is wired to DTR: pulsing RTS does not reset it.
        {"rts", true,
         "Plug your dsPIC platform in the selected COM and power it.\nReset through RTS. Wait "
         "for dsPIC detection.",
         End::OutOfTime,
         "\n\nno bootloader answered on COM47 within 44 s of its reset through the modem lines: "
         "check which line resets the board and whether it is inverted, the baud rate and the "
         "cable"},
        // Inverted, the pulse ends with DTR asserted: the board is held in reset.
        {"dtr-inverted", true,
         "Plug your dsPIC platform in the selected COM and power it.\nReset through DTR "
         "inverted. Wait for dsPIC detection.",
         End::OutOfTime, "of its reset through the modem lines"},
        // A bare pseudo-terminal: the reset cannot be played, and the box says why at once.
        {"dtr", false,
         "Plug your dsPIC platform in the selected COM and power it.\nReset through DTR. Wait "
         "for dsPIC detection.",
         End::AtOnce, "\n\nthe board on COM47 could not be reset through the modem lines: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.reset) + (row.bridged ? "" : ", no modem lines"));
        StartBoardWiredToDtr(row.bridged);
        theApp().m_reset = row.reset;
        boxes_.boxes.clear();
        {
            CDetectionDialog page(theApp(), boxes_, clock_);
            EXPECT_EQ(PageText(page).toStdString(), row.text);
            EXPECT_EQ(RunDetectionPage(page, row.end == End::OutOfTime),
                      row.end == End::Detected ? QDialog::Accepted : QDialog::Rejected);
        }
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        const std::string& text = boxes_.boxes[0].text;
        EXPECT_NE(text.find(row.said), std::string::npos) << text;
        if (!row.bridged) {
            EXPECT_NE(text.find("no modem lines"), std::string::npos) << text;
        }
        TearDown();
    }
}

TEST_F(ResetLineTest, ReconnectPlaysTheResetPageTwoPlayed) {
    StartBoardWiredToDtr();
    theApp().m_reset = "dtr";
    {
        CDetectionDialog page(theApp(), boxes_, clock_);
        ASSERT_EQ(RunDetectionPage(page, false), QDialog::Accepted);
    }
    CLoadAndWriteDialog window(theApp(), boxes_);
    window.show();
    window.OnRunCommand();
    ASSERT_TRUE(NotListening()) << "the board runs its program, out of its bootloader";

    window.OnReconnectCommand();
    EXPECT_EQ(dialog::FindControlAs<QLabel>(&window, mainwindow::kIdcStatusText)->text(),
              "resetting your dsPIC platform through the modem lines");
    ASSERT_TRUE(uitest::PumpUntil([&] { return !window.Programming().Busy(); }, 30000));
    EXPECT_TRUE(window.Programming().PortOpen());
    EXPECT_EQ(dialog::FindControlAs<QLabel>(&window, mainwindow::kIdcStatusText)->text(), "ready");
    EXPECT_FALSE(board_->UserProgramRunning());
}

}  // namespace
