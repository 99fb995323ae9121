#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "protocol/ResetSequence.h"
#include "protocol/Workers.h"
#include "tests/protocol/workers/WorkerTestSupport.h"
#include "tools/sim/MemoryBoard.h"

// The workers' exchanges on the bootloader held in memory: every byte takes its time on the
// line at the speed set, the waits pass at once, and each case runs the same way every time.
namespace {

using namespace std::chrono_literals;
using board::MemoryBoard;
using board::MemoryBoardSetup;
using workertest::kBootEnd;
using workertest::kBootStart;
using workertest::kCodeRowUnits;

class MemoryBoardTest : public ::testing::Test {
protected:
    std::unique_ptr<MemoryBoard> MakeBoard(MemoryBoardSetup setup) {
        std::string error;
        std::optional<board::BoardDevice> device = board::LoadBoardDevice(
            dir_.Write("qor_dspiclist.xml", workertest::TestCatalogue()).string(),
            workertest::kDeviceId, &error);
        if (!device) ADD_FAILURE() << error;
        return device ? std::make_unique<MemoryBoard>(std::move(*device), 1, 4, std::move(setup))
                      : nullptr;
    }

    testsupport::TempDir dir_;
    MessageQueue queue_;
};

struct LineCase {
    const char* name;
    BoardFaults faults;
    BlockResult result;
    std::size_t framesTaken;       // row frames the board took in
    std::size_t progressMessages;  // one per frame written in full, never one before it
    std::uint32_t acknowledged;    // rows counted as done; the failed row is the next one
    bool configuration = false;    // four configuration rows instead of the code rows
};

class RowWriterLineTest : public MemoryBoardTest,
                          public ::testing::WithParamInterface<std::tuple<LineCase, unsigned>> {};

// Only the board's own answer, after the whole frame, acknowledges a row.
TEST_P(RowWriterLineTest, EndsTheBlockWithTheCauseAndCountsOnlyTrustedRows) {
    const auto& [line, baud] = GetParam();
    MemoryBoardSetup setup;
    setup.baud = baud;
    setup.faults = line.faults;
    const std::unique_ptr<MemoryBoard> board = MakeBoard(setup);
    ASSERT_TRUE(board);
    board->UseExchangeTimeouts();
    workertest::TestImages images;
    WriteJob job;
    job.line = board.get();
    job.bootStart = kBootStart;
    job.bootEnd = kBootEnd;
    job.notifyWindow = &queue_;
    if (line.configuration) {
        workertest::FillPattern(images.config, 0xF80000, 0xF80007);
        job.image = &images.config;
        job.rowUnits = 2;
    } else {
        // Rows 0, 1 (whose first word is 0x5555: a probe to a freshly reset board) and 2, 3.
        workertest::FillPattern(images.code, 0x0000, 0x003F);
        images.code.WriteWord(0x0040, 0x5555);
        workertest::FillPattern(images.code, 0x0080, 0x00FF);
        job.image = &images.code;
        job.rowUnits = kCodeRowUnits;
    }
    EXPECT_EQ(WriteRows(job), line.result);
    // Whatever the host left on the line reaches the board.
    board->Sleep(1s);
    board->QueuedInput();
    EXPECT_EQ(board->RowFramesTaken(), line.framesTaken);
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), line.progressMessages);
    EXPECT_EQ(job.rowsAcknowledged.load(), line.acknowledged);
    EXPECT_EQ(board->RowsProgrammed(), line.acknowledged);
}

const LineCase kLineCases[] = {
    LineCase{"clean", {}, BlockResult::Ok, 4, 4, 4},
    // A 0x55 that arrives while row 1 is still on the line is no acknowledgement:
    // row 1 fails there, whether the board refuses it after or never answers.
    LineCase{"stray_mid_frame", {.strayInRow = 1}, BlockResult::StrayInput, 2, 2, 1},
    LineCase{"stray_mid_frame_unanswered",
             {.ignoreRow = 2, .strayInRow = 2},
             BlockResult::StrayInput,
             3,
             3,
             2},
    LineCase{"stray_in_the_last_row", {.strayInRow = 3}, BlockResult::StrayInput, 4, 4, 3},
    // A stray where the last row's acknowledgement would come, and the board's own
    // answer 125 ms later: the synchronism check after the block meets that answer.
    LineCase{
        "stray_before_the_last_answer", {.strayBeforeAnswer = 3}, BlockResult::StrayInput, 4, 4, 3},
    // After row 0 the board resets; its fresh bootloader answers row 1's 0x55 as a
    // probe while the frame is still coming in.
    LineCase{"board_reset_after_row_0", {.resetAfterRow = 0}, BlockResult::StrayInput, 1, 2, 1},
    // The board takes no byte of row 2: a frame written in part gets no progress message.
    LineCase{"short_frame", {.stallAfterRows = 2}, BlockResult::FrameNotWritten, 2, 2, 2, true}};

std::string LineCaseName(const ::testing::TestParamInfo<std::tuple<LineCase, unsigned>>& info) {
    return std::string(std::get<0>(info.param).name) + "_at_" +
           std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Faults, RowWriterLineTest,
                         ::testing::Combine(::testing::ValuesIn(kLineCases),
                                            ::testing::Values(9600u, 38400u, 115200u)),
                         LineCaseName);

struct ResetCase {
    const char* name;
    const char* sequence;
    std::optional<SerialModemLine> resetLine;
    bool inverted;
    bool modemLines;
    DetectionResult result;
    // Each change's time after the first probe attempt ended.
    std::vector<MemoryBoard::LineChange> changes;
};

class DetectionResetTest : public MemoryBoardTest,
                           public ::testing::WithParamInterface<ResetCase> {};

// A board whose bootloader has long handed over to its program answers the probes only once
// the sequence, played right after the first attempt, has reset it on the line it is wired to.
TEST_P(DetectionResetTest, PlaysTheSequenceAfterTheFirstProbeAndFindsTheFreshBootloader) {
    const ResetCase& c = GetParam();
    MemoryBoardSetup setup;
    setup.listenWindow = 1000ms;
    setup.resetLine = c.resetLine;
    setup.resetLineInverted = c.inverted;
    setup.modemLines = c.modemLines;
    const std::unique_ptr<MemoryBoard> board = MakeBoard(setup);
    ASSERT_TRUE(board);
    board->Sleep(2s);  // the listening window is over: the user program runs
    std::string error;
    const std::optional<bootproto::ResetSequence> sequence =
        bootproto::ParseResetSequence(c.sequence, &error);
    ASSERT_TRUE(sequence) << error;
    DetectionThreadParam param;
    param.reset = &*sequence;
    unsigned char deviceId[2] = {};

    EXPECT_EQ(Detect(*board, param, deviceId), c.result);

    // The unanswered probe read waits 100 ms and 100 ms a reply byte.
    const auto firstAttemptEnd = 2s + 100ms + 100ms * bootproto::kProbeReplyLength;
    std::vector<MemoryBoard::LineChange> changes = board->LineChanges();
    for (MemoryBoard::LineChange& change : changes) change.at -= firstAttemptEnd;
    EXPECT_EQ(changes, c.changes);
    if (c.result == DetectionResult::Synchronised) {
        EXPECT_EQ(deviceId[0], workertest::kIdHigh);
        EXPECT_EQ(deviceId[1], workertest::kIdLow);
    }
}

constexpr auto kDtr = SerialModemLine::Dtr;
constexpr auto kRts = SerialModemLine::Rts;

INSTANTIATE_TEST_SUITE_P(
    Sequences, DetectionResetTest,
    ::testing::Values(
        ResetCase{"dtr_pulse",
                  "dtr",
                  kDtr,
                  false,
                  true,
                  DetectionResult::Synchronised,
                  {{0ms, kDtr, true}, {100ms, kDtr, false}}},
        ResetCase{"rts_inverted_pulse",
                  "rts-inverted",
                  kRts,
                  true,
                  true,
                  DetectionResult::Synchronised,
                  {{0ms, kRts, false}, {100ms, kRts, true}}},
        ResetCase{"general_form",
                  "dtr=0,rts=1,wait=50,dtr=1",
                  kDtr,
                  true,
                  true,
                  DetectionResult::Synchronised,
                  {{0ms, kDtr, false}, {0ms, kRts, true}, {50ms, kDtr, true}}},
        ResetCase{"no_modem_lines", "dtr", kDtr, false, false, DetectionResult::ResetFailed, {}}),
    [](const ::testing::TestParamInfo<ResetCase>& each) { return each.param.name; });

}  // namespace
