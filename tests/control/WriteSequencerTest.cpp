#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "app/BootloaderApp.h"
#include "tests/control/ControlFixture.h"

namespace {

using LogLine = std::pair<std::string, std::string>;

std::vector<std::uint32_t> Join(std::vector<std::uint32_t> a, const std::vector<std::uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class WriteSequencerTest : public ControlTest {
protected:
    std::vector<int> FailedBlocks() const {
        std::vector<int> failed;
        for (const BlockOutcome& block : control_->LastWrite().blocks) {
            if (block.result != BlockResult::Ok) failed.push_back(block.block);
        }
        return failed;
    }

    // Connected to the board with the sample loaded and only `blocks` checked.
    void Prepare(const BoardOptions& options, std::array<bool, 3> blocks) {
        StartBoard(options);
        ASSERT_TRUE(Connect());
        LoadSample();
        Choose(blocks);
        window_.log.clear();
        window_.calls.clear();
    }
};

TEST_F(WriteSequencerTest, OnlyTheConfigurationWritesOneBlockAndReportsSuccess) {
    Prepare(Options(), {false, false, true});
    WriteAndWait();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"write process started", "ok"},
                                                 {"config write finished", "ok"},
                                                 {"dsPIC write process completed", "ok"}}));
    EXPECT_NE(std::find(window_.statusTexts.begin(), window_.statusTexts.end(),
                        "config programming started"),
              window_.statusTexts.end());
    EXPECT_EQ(window_.status, "write completed");
    EXPECT_EQ(window_.lamp, kLampGreen);
    EXPECT_FALSE(window_.barVisible);
    EXPECT_EQ(RowsReceived(), kSampleConfigRows);
    EXPECT_TRUE(BoardHoldsImage(kBlockConfig, kSampleConfigRows));
    EXPECT_TRUE(control_->Commands().open && control_->Commands().run &&
                control_->Commands().reload && control_->Commands().reconnect);
}

TEST_F(WriteSequencerTest, FailedBlockAsksAndYesGoesOnToTheNextBlock) {
    BoardOptions options = Options();
    options.faults.ignoreRow = 0;  // the first code row gets no acknowledgement: result 2
    Prepare(options, {true, false, true});
    window_.answers.push_back(BoxAnswer::Yes);
    WriteAndWait();

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text,
              "Error code: 2\nWrite process of this block, not completed.\nProceed anyway?");
    EXPECT_EQ(window_.boxes[0].caption, "write error");
    EXPECT_EQ(window_.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(window_.boxes[0].lamp, kLampGrey);
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"write process started", "ok"},
                                                 {"flash write finished", "failed"},
                                                 {"config write finished", "ok"},
                                                 {"dsPIC write process completed", "failed"}}));
    EXPECT_EQ(RowsReceived(), Join({0x0000}, kSampleConfigRows));
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(window_.status, "failed");
    EXPECT_EQ(FailedBlocks(), std::vector<int>{kBlockCode});
}

TEST_F(WriteSequencerTest, FailedBlockAnsweredNoStopsTheWrite) {
    BoardOptions options = Options();
    options.faults.ignoreRow = 0;
    Prepare(options, {true, false, true});
    window_.answers.push_back(BoxAnswer::No);
    WriteAndWait();

    EXPECT_EQ(window_.log.back(), LogLine("dsPIC write process completed", "failed"));
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(window_.status, "failed");
    EXPECT_EQ(RowsReceived(), std::vector<std::uint32_t>{0x0000});
    EXPECT_TRUE(Pump([this] { return !control_->WorkerRunning(); }));
}

TEST_F(WriteSequencerTest, LastBlockFailedAndPassedOverReportsTheWriteAsFailed) {
    BoardOptions options = Options();
    options.faults.refuseRow = 4;  // the EEPROM row, after the four code rows
    Prepare(options, {true, true, false});
    window_.answers.push_back(BoxAnswer::Yes);
    WriteAndWait();

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text.rfind("Error code: 3\n", 0), 0u);
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"write process started", "ok"},
                                                 {"flash write finished", "ok"},
                                                 {"eeprom write finished", "failed"},
                                                 {"dsPIC write process completed", "failed"}}));
    EXPECT_TRUE(BoardHoldsImage(kBlockCode, kSampleCodeRows));
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(FailedBlocks(), std::vector<int>{kBlockEeprom});
}

TEST_F(WriteSequencerTest, NothingCheckedRefusesAndLeavesTheWindowUsable) {
    Prepare(Options(), {false, false, false});
    control_->Write();

    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].text, "no memory blocks selected!");
    EXPECT_EQ(window_.boxes[0].caption, "write error");
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"write process started", "failed"}}));
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(window_.status, "write error");
    EXPECT_FALSE(control_->Busy());
    EXPECT_FALSE(control_->WorkerRunning());
    EXPECT_TRUE(control_->Commands().open && control_->Commands().run &&
                control_->Commands().reload && control_->Commands().reconnect);
}

TEST_F(WriteSequencerTest, AMemoryNoLoadFilledCannotBeChosen) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());
    Choose({true, true, true});  // nothing loaded yet
    EXPECT_EQ(Chosen(), (std::array<bool, 3>{false, false, false}));
    LoadSample();
    Choose({false, true, false});
    WriteAndWait();

    EXPECT_EQ(RowsReceived(), kSampleEepromRows);
    EXPECT_EQ(window_.log.back(), LogLine("dsPIC write process completed", "ok"));
}

TEST_F(WriteSequencerTest, SecondWritePressWhileBusyDoesNothing) {
    Prepare(Options(), {true, false, false});
    control_->Write();
    control_->Write();
    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));

    EXPECT_EQ(
        std::count(window_.log.begin(), window_.log.end(), LogLine("write process started", "ok")),
        1);
    EXPECT_EQ(FramesStartingWith(0x33), 1u);
    EXPECT_EQ(RowsReceived(), kSampleCodeRows);
}

TEST_F(WriteSequencerTest, WriteAfterWriteSendsTheRowsAgain) {
    Prepare(Options(), {false, true, false});
    WriteAndWait();
    WriteAndWait();
    EXPECT_EQ(RowsReceived(), Join(kSampleEepromRows, kSampleEepromRows));
    EXPECT_EQ(window_.log.back(), LogLine("dsPIC write process completed", "ok"));
}

struct SyncFailureCase {
    const char* name;
    BoardFaults faults;
    const char* writeStatus;
    WriteEnd writeEnd;
    const char* runStatus;
    RunEnd runEnd;
};

class SyncFailureTest : public WriteSequencerTest,
                        public ::testing::WithParamInterface<SyncFailureCase> {};

// A board that leaves the check unanswered, and a port that goes away at it, are told apart.
TEST_P(SyncFailureTest, WriteStopsAtTheCheckAndLeavesOnlyReconnect) {
    BoardOptions options = Options();
    options.faults = GetParam().faults;
    Prepare(options, {true, true, false});
    control_->Write();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Checking synchronism", "failed"}}));
    EXPECT_EQ(window_.status, GetParam().writeStatus);
    EXPECT_EQ(control_->LastWrite().end, GetParam().writeEnd);
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_FALSE(control_->Busy());
    EXPECT_EQ(control_->PortOpen(), 1);
    EXPECT_FALSE(control_->Commands().open || control_->Commands().run ||
                 control_->Commands().reload || control_->Commands().write);
    EXPECT_TRUE(control_->Commands().reconnect);
}

TEST_P(SyncFailureTest, RunNamesTheStep) {
    BoardOptions options = Options();
    options.faults = GetParam().faults;
    Prepare(options, {true, false, false});
    control_->Run();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Checking synchronism", "failed"}}));
    EXPECT_EQ(window_.status, GetParam().runStatus);
    EXPECT_EQ(control_->LastRun(), GetParam().runEnd);
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(control_->PortOpen(), 1);
    EXPECT_TRUE(control_->Commands().reconnect);
}

INSTANTIATE_TEST_SUITE_P(Causes, SyncFailureTest,
                         ::testing::Values(SyncFailureCase{"unanswered",
                                                           {.noSync = true},
                                                           "synchronization error",
                                                           WriteEnd::SyncFailed,
                                                           "running failed",
                                                           RunEnd::SyncFailed},
                                           SyncFailureCase{"port_gone",
                                                           {.vanishAtSync = true},
                                                           "port went away",
                                                           WriteEnd::PortLost,
                                                           "port went away",
                                                           RunEnd::PortLost}),
                         [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(WriteSequencerTest, RunWhileNotConnectedDoesNothing) {
    control_->Run();
    EXPECT_TRUE(window_.calls.empty());
}

TEST_F(WriteSequencerTest, RunStartsTheProgramClosesThePortAndLeavesOnlyReconnect) {
    Prepare(Options(), {true, false, false});
    control_->Run();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Running program", "ok"}}));
    EXPECT_EQ(window_.status, "running program...");
    EXPECT_EQ(window_.lamp, kLampGreen);
    EXPECT_EQ(control_->PortOpen(), 0);
    EXPECT_EQ(theApp().m_serialPort.handle, kNullSerialHandle);
    EXPECT_FALSE(control_->Commands().open || control_->Commands().run ||
                 control_->Commands().reload || control_->Commands().write);
    EXPECT_TRUE(control_->Commands().reconnect);
    EXPECT_TRUE(Pump([this] { return board_->UserProgramRunning(); }, std::chrono::seconds(5)));
}

TEST_F(WriteSequencerTest, ShutdownDuringAWriteEndsTheWriterAfterItsRow) {
    BoardOptions options = Options();
    options.lineTiming = true;
    options.baud = 9600;  // a row takes about 0.14 s on the line
    StartBoard(options);
    theApp().m_baudRate = 9600;
    ASSERT_TRUE(Connect());
    LoadSample();
    Choose({true, true, true});
    control_->Write();
    ASSERT_TRUE(Pump([this] { return !RowsReceived().empty(); }));

    control_->Shutdown();
    EXPECT_FALSE(control_->WorkerRunning());
    EXPECT_LT(RowsReceived().size(),
              kSampleCodeRows.size() + kSampleEepromRows.size() + kSampleConfigRows.size());
}

TEST_F(WriteSequencerTest, StopAfterTheCurrentRowEndsTheWriteAsFailedAndSaysWhere) {
    BoardOptions options = Options();
    options.lineTiming = true;
    options.baud = 9600;
    StartBoard(options);
    theApp().m_baudRate = 9600;
    ASSERT_TRUE(Connect());
    LoadSample();
    Choose({true, true, false});
    window_.log.clear();
    control_->Write();
    ASSERT_TRUE(Pump([this] { return !RowsReceived().empty(); }));
    ASSERT_TRUE(control_->WriteRunning());

    control_->Stop();
    EXPECT_FALSE(control_->WorkerRunning());
    EXPECT_FALSE(control_->Busy());
    const std::size_t programmed = board_->RowsProgrammed();
    EXPECT_LT(programmed, kSampleCodeRows.size());
    ASSERT_GE(window_.log.size(), 2u);
    EXPECT_EQ(
        window_.log[window_.log.size() - 2],
        LogLine("write stopped: " + std::to_string(programmed) + " rows of program flash written",
                "failed"));
    EXPECT_EQ(window_.log.back(), LogLine("dsPIC write process completed", "failed"));
    EXPECT_EQ(window_.lamp, kLampRed);
    EXPECT_EQ(window_.status, "failed");

    // What the writer posted before it ended changes nothing, and nothing more is sent.
    const std::size_t lines = window_.log.size();
    Pump([] { return false; }, std::chrono::seconds(1));
    EXPECT_EQ(window_.log.size(), lines);
    EXPECT_EQ(board_->RowsProgrammed(), programmed);
    EXPECT_EQ(RowsReceived().size(), programmed);
}

}  // namespace
