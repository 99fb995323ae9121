#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "app/BootloaderApp.h"
#include "serial/CSerialPort.h"
#include "tests/control/ControlFixture.h"
#include "tests/support/Wine.h"

namespace {

using LogLine = std::pair<std::string, std::string>;

const LogLine kStartedOk{"Detection&Sync process started", "ok"};
const LogLine kFinishedOk{"Detection&Sync process finished", "ok"};
const LogLine kFinishedFailed{"Detection&Sync process finished", "failed"};

// Wine's serial devices ignore the share mode; Windows' serial driver refuses a second open.
constexpr const char* kSecondOpenUnderWine = "Wine lets a second handle open the port";

class DetectionControlTest : public ControlTest {
protected:
    void ExpectOnlyReconnectEnabled() {
        EXPECT_FALSE(control_->Commands().open || control_->Commands().run ||
                     control_->Commands().reload || control_->Commands().write);
        EXPECT_TRUE(control_->Commands().reconnect);
        EXPECT_FALSE(control_->Busy());
        EXPECT_EQ(control_->PortOpen(), 0);
    }
};

TEST_F(DetectionControlTest, IdentifiedBoardIsReadyWithItsRangesAndVersions) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());

    EXPECT_EQ(window_.log, (std::vector<LogLine>{kStartedOk, kFinishedOk}));
    EXPECT_EQ(window_.statusTexts.front(), "reset (restart) your dsPIC platform");
    EXPECT_EQ(window_.status, "ready");
    EXPECT_EQ(window_.lamp, kLampGreen);
    EXPECT_FALSE(window_.timerRunning);
    EXPECT_EQ(window_.deviceName, "dsPIC30F4011");
    EXPECT_EQ(window_.ranges,
              (std::array<std::string, 3>{"(0x0000 - 0x7FFE)", "(0x7FFC00 - 0x7FFFFE)",
                                          "(0xF80000 - 0xF8000E)"}));
    EXPECT_EQ(window_.visible, (std::array<bool, 3>{true, true, true}));
    EXPECT_TRUE(control_->Commands().open && control_->Commands().run &&
                control_->Commands().reconnect);
    EXPECT_FALSE(control_->Commands().write);
    EXPECT_EQ(control_->HexLoaded(), 0);
}

TEST_F(DetectionControlTest, ReconnectToTheSameBoardLoadsTheFileAgain) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());
    LoadSample();
    control_->Run();
    ASSERT_TRUE(Pump([this] { return board_->UserProgramRunning(); }));
    board_->Reset();
    window_.log.clear();
    window_.calls.clear();

    ASSERT_TRUE(Connect());
    EXPECT_EQ(window_.log, (std::vector<LogLine>{kStartedOk, kFinishedOk}));
    const auto finished = std::find(window_.calls.begin(), window_.calls.end(),
                                    "Log(Detection&Sync process finished|ok)");
    EXPECT_NE(std::find(finished, window_.calls.end(), "Blocks"), window_.calls.end());
    EXPECT_EQ(control_->HexLoaded(), 1);
    EXPECT_TRUE(control_->Commands().write && control_->Commands().reload &&
                control_->Commands().run);
    EXPECT_EQ(window_.status, "ready");
    EXPECT_EQ(window_.lamp, kLampGreen);
}

TEST_F(DetectionControlTest, AnotherDeviceMakesTheFileCountAsNotLoaded) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());
    LoadSample();

    auto first = std::move(board_);
    StartBoard(Options("dsPIC30F3010"));
    ASSERT_TRUE(Connect());
    EXPECT_EQ(control_->HexLoaded(), 0);
    EXPECT_FALSE(control_->Commands().write);
    EXPECT_EQ(window_.deviceName, "dsPIC30F3010");
    EXPECT_EQ(window_.ranges[kBlockCode], "(0x0000 - 0x3FFE)");
}

TEST_F(DetectionControlTest, SilentBoardIsGivenUpAfterFortyFourTicks) {
    BoardOptions options = Options();
    options.faults.silent = true;
    StartBoard(options);
    control_->Reconnect();
    ASSERT_TRUE(control_->Busy());
    ASSERT_TRUE(window_.timerRunning);

    for (int tick = 0; tick < 43; ++tick) Tick();
    EXPECT_EQ(theApp().m_detectionParam.stop, 0);
    EXPECT_EQ(window_.barPosition, 44u);
    Tick();
    EXPECT_EQ(theApp().m_detectionParam.stop, 1);
    EXPECT_FALSE(window_.timerRunning);

    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
    EXPECT_EQ(window_.log, (std::vector<LogLine>{kStartedOk, kFinishedFailed}));
    EXPECT_EQ(window_.status, "not connected");
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(theApp().m_serialPort.handle, kNullSerialHandle);
    ExpectOnlyReconnectEnabled();
}

// The limit is counted by the control, whatever the bar made of the write's range before.
TEST_F(DetectionControlTest, ReconnectAfterAWriteWaitsTheWholeLimit) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());
    LoadSample();
    Choose({false, true, false});
    control_->Write();
    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
    ASSERT_EQ(window_.log.back(), LogLine("dsPIC write process completed", "ok"));
    control_->Run();
    ASSERT_TRUE(Pump([this] { return board_->UserProgramRunning(); }));

    control_->Reconnect();
    ASSERT_TRUE(control_->Busy());
    for (int tick = 0; tick < 10; ++tick) Tick();
    EXPECT_EQ(theApp().m_detectionParam.stop, 0);
    EXPECT_TRUE(window_.timerRunning);
    board_->Reset();
    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
    EXPECT_EQ(window_.log.back(), kFinishedOk);
    EXPECT_EQ(control_->PortOpen(), 1);
    EXPECT_EQ(window_.lamp, kLampGreen);
}

TEST_F(DetectionControlTest, ReconnectWhileDetectingDoesNothing) {
    BoardOptions options = Options();
    options.faults.silent = true;
    StartBoard(options);
    control_->Reconnect();
    const std::size_t calls = window_.calls.size();
    control_->Reconnect();
    EXPECT_EQ(window_.calls.size(), calls);

    control_->Shutdown();
    EXPECT_FALSE(control_->WorkerRunning());
}

TEST_F(DetectionControlTest, PortHeldByAnotherProgramIsReportedWithItsPath) {
    if (testsupport::RunningUnderWine()) GTEST_SKIP() << kSecondOpenUnderWine;
    StartBoard(Options());
    CSerialPort holder;
    ASSERT_EQ(holder.InitPort(board_->DevicePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    control_->Reconnect();
    holder.ClosePort();

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text, "Failed while configuring " + board_->DevicePath() +
                                         " at 115200 bps.\nCheck that the port is not used for "
                                         "another application\nand restart vardeno 16bitPIC "
                                         "bootloader.");
    EXPECT_EQ(window_.boxes[0].caption, "configuring process failed");
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Detection&Sync process started", "failed"}}));
    EXPECT_EQ(window_.status, "not connected");
    EXPECT_EQ(window_.lamp, kLampRed);
    ExpectOnlyReconnectEnabled();
}

// The port fails to open while no board is there, then opens by its number once one is.
// Above COM32, where no number falls back to a serial device of the machine.
TEST_F(DetectionControlTest, PortNamedByNumberIsReportedAsCom) {
    control_->SetDevicePath({});
    theApp().m_comNumber = 37;
    control_->Reconnect();

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text.rfind("Failed while configuring COM37 at 115200 bps.\n", 0),
              0u);

    BoardOptions options = Options();
    options.comNumber = 37;
    StartBoard(options);
    control_->SetDevicePath({});
    ASSERT_TRUE(Connect());
}

TEST_F(DetectionControlTest, UnidentifiedBoardSaysSoAndClosesThePort) {
    BoardOptions options = Options();
    options.faults.badVersionAck = true;
    StartBoard(options);
    EXPECT_FALSE(Connect());

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text,
              "dsPIC identification failed.\nError code : -4.\n\nIf problem persists contact "
              "vardeno at www.example.com");
    EXPECT_EQ(window_.boxes[0].caption, "dsPIC identification failed.");
    EXPECT_EQ(window_.log.back(), kFinishedFailed);
    EXPECT_EQ(window_.status, "identification failed") << "not the reset hint of the detection";
    EXPECT_EQ(window_.lamp, kLampRed);
    ExpectOnlyReconnectEnabled();
}

struct ReconnectCase {
    const char* name;
    BoardFaults faults;
    bool portHeld;  // another program holds the board's port
    ReconnectStage stage;
    DetectionResult detection;
    std::optional<IdentifyResult> identification;  // empty: no identification was tried
};

class ReconnectOutcomeTest : public DetectionControlTest,
                             public ::testing::WithParamInterface<ReconnectCase> {};

// What a front end acts on instead of the boxes the reconnect showed.
TEST_P(ReconnectOutcomeTest, SaysHowFarTheReconnectGot) {
    const ReconnectCase& c = GetParam();
    if (c.portHeld && testsupport::RunningUnderWine()) GTEST_SKIP() << kSecondOpenUnderWine;
    BoardOptions options = Options();
    options.faults = c.faults;
    StartBoard(options);
    EXPECT_EQ(control_->LastReconnect().stage, ReconnectStage::None);
    CSerialPort holder;
    if (c.portHeld) {
        ASSERT_EQ(holder.InitPort(board_->DevicePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    }
    control_->SetDetectionLimit(1);

    control_->Reconnect();
    if (control_->Busy()) {
        EXPECT_EQ(control_->LastReconnect().stage, ReconnectStage::Detecting);
        if (c.faults.silent) Tick();
        ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
    }
    holder.ClosePort();

    const ReconnectOutcome& outcome = control_->LastReconnect();
    EXPECT_EQ(outcome.stage, c.stage);
    if (c.stage != ReconnectStage::Finished) return;
    EXPECT_EQ(outcome.detection.detection, c.detection);
    EXPECT_EQ(outcome.detection.identification, c.identification);
}

INSTANTIATE_TEST_SUITE_P(Boards, ReconnectOutcomeTest,
                         ::testing::Values(ReconnectCase{"identified",
                                                         {},
                                                         false,
                                                         ReconnectStage::Finished,
                                                         DetectionResult::Synchronised,
                                                         IdentifyResult::Identified},
                                           ReconnectCase{"bad_version_acknowledge",
                                                         {.badVersionAck = true},
                                                         false,
                                                         ReconnectStage::Finished,
                                                         DetectionResult::Synchronised,
                                                         IdentifyResult::FirmwareFailed},
                                           ReconnectCase{"silent_board_at_the_limit",
                                                         {.silent = true},
                                                         false,
                                                         ReconnectStage::Finished,
                                                         DetectionResult::Stopped,
                                                         std::nullopt},
                                           ReconnectCase{"port_vanishes",
                                                         {.vanishAtProbe = 0},
                                                         false,
                                                         ReconnectStage::Finished,
                                                         DetectionResult::PortLost,
                                                         std::nullopt},
                                           ReconnectCase{"port_held_elsewhere",
                                                         {},
                                                         true,
                                                         ReconnectStage::PortNotOpened,
                                                         DetectionResult::Stopped,
                                                         std::nullopt}),
                         [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
