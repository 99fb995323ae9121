#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "app/BootloaderApp.h"
#include "protocol/RowPlan.h"
#include "protocol/Workers.h"
#include "tests/protocol/workers/WorkerTestSupport.h"

namespace {

using namespace std::chrono_literals;
using workertest::BoardTest;
using workertest::kBootEnd;
using workertest::kBootStart;
using workertest::kCodeRowUnits;

// Flash with data below, inside and above the bootloader, in the protected row and with
// untouched rows in between.
void FillCode(CMemoryImage& code) {
    workertest::FillPattern(code, 0x0000, 0x0003);
    workertest::FillPattern(code, 0x0100, 0x02FF);
    workertest::FillPattern(code, 0x0600, 0x0601);
    workertest::FillPattern(code, 0x07F0, 0x0900);
    workertest::FillPattern(code, 0x0C10, 0x0C13);
    workertest::FillPattern(code, 0x0F00, 0x0FFF);
}

bool InsideRowOf(const std::vector<std::uint32_t>& rows, std::uint32_t address, int rowUnits) {
    for (std::uint32_t row : rows) {
        if (address >= row && address < row + static_cast<std::uint32_t>(rowUnits)) return true;
    }
    return false;
}

class RowWriterTest : public BoardTest {
protected:
    // Empty when the writer did not return within the limit.
    std::optional<BlockResult> Write(CMemoryImage& image, int rowUnits,
                                     std::uint8_t* refusal = nullptr) {
        std::optional<BlockResult> result;
        workertest::RunBounded(
            [&] {
                WriteJob job;
                job.line = &theApp().m_line;
                job.image = &image;
                job.rowUnits = rowUnits;
                job.bootStart = kBootStart;
                job.bootEnd = kBootEnd;
                job.notifyWindow = &queue_;
                result = WriteRows(job, refusal);
                acknowledged_ = job.rowsAcknowledged.load();
            },
            kWriterLimit, "WriteRows");
        return result;
    }

    static constexpr std::chrono::seconds kWriterLimit{60};
    std::atomic<std::uint32_t> acknowledged_{0};

    // Every used cell outside the rows the plan passed over reads back from the board.
    void ExpectBoardHolds(CMemoryImage& image, int rowUnits) {
        const RowPlan plan = PlanRows(image, rowUnits, kBootStart, kBootEnd);
        std::size_t compared = 0;
        for (std::uint64_t a = image.GetStart(); a <= image.GetEnd(); ++a) {
            const auto address = static_cast<std::uint32_t>(a);
            if (!image.cells[a - image.GetStart()].used) continue;
            if (InsideRowOf(plan.skippedBootloader, address, rowUnits) ||
                InsideRowOf(plan.skippedProtected, address, rowUnits)) {
                continue;
            }
            ++compared;
            EXPECT_EQ(board_->Word(address), image.ReadWord(address)) << std::hex << address;
        }
        EXPECT_GT(compared, 0u);
    }

    workertest::TestImages images_;
};

TEST_F(RowWriterTest, WritesThePlannedRowsOnBothSidesOfTheBootloader) {
    StartBoard(DefaultOptions());
    FillCode(images_.code);
    const RowPlan plan = PlanRows(images_.code, kCodeRowUnits, kBootStart, kBootEnd);

    EXPECT_EQ(Write(images_.code, kCodeRowUnits), BlockResult::Ok);
    EXPECT_EQ(workertest::RowFrameAddresses(*board_), plan.rows);
    EXPECT_EQ(board_->RowsProgrammed(), plan.rows.size());
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), plan.rows.size());
    EXPECT_EQ(plan.rows.front(), 0x000u);
    EXPECT_EQ(plan.rows.back(), 0xFC0u);
    ExpectBoardHolds(images_.code, kCodeRowUnits);
    // Unused words of a sent row go out as 0; rows the file does not touch stay erased.
    EXPECT_EQ(board_->Word(0x0004), 0x0000);
    EXPECT_EQ(board_->Word(0x0040), 0xFFFF);
    EXPECT_EQ(board_->Word(workertest::kProtectedRow + 0x10), 0xFFFF);
}

TEST_F(RowWriterTest, WritesEepromAndConfigurationBlocks) {
    StartBoard(DefaultOptions());
    workertest::FillPattern(images_.data, 0x7FFC00, 0x7FFFFF);
    workertest::FillPattern(images_.config, 0xF80000, 0xF80005);
    workertest::FillPattern(images_.config, 0xF8000E, 0xF8000F);

    EXPECT_EQ(Write(images_.data, 32), BlockResult::Ok);
    EXPECT_EQ(Write(images_.config, 2), BlockResult::Ok);
    EXPECT_EQ(board_->RowsProgrammed(), 32u + 4u);
    ExpectBoardHolds(images_.data, 32);
    ExpectBoardHolds(images_.config, 2);
    EXPECT_EQ(board_->Word(0xF80008), 0xFFFF) << "a register the file does not set is kept";
}

TEST_F(RowWriterTest, EmptyImageSendsNothing) {
    StartBoard(DefaultOptions());
    EXPECT_EQ(Write(images_.code, kCodeRowUnits), BlockResult::Ok);
    EXPECT_TRUE(board_->Frames().empty());
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), 0u);
}

TEST_F(RowWriterTest, RowSizesThatCannotBeFramedSendNothing) {
    StartBoard(DefaultOptions());
    FillCode(images_.code);
    for (int units : {0, -64, 63, 128}) {
        EXPECT_EQ(Write(images_.code, units), BlockResult::RowSizeInvalid) << units;
    }
    EXPECT_TRUE(board_->Frames().empty());
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), 0u);
}

TEST_F(RowWriterTest, RefusedRowEndsTheBlockAfterOneProgressMessage) {
    BoardOptions options = DefaultOptions();
    options.faults.refuseRow = 2;
    StartBoard(options);
    FillCode(images_.code);
    std::uint8_t refusal = 0;
    EXPECT_EQ(Write(images_.code, kCodeRowUnits, &refusal), BlockResult::BadAck);
    EXPECT_EQ(refusal, 0xEE);
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), 3u);
    EXPECT_EQ(workertest::RowFrameAddresses(*board_).size(), 3u);
}

TEST_F(RowWriterTest, UnansweredRowEndsTheBlock) {
    BoardOptions options = DefaultOptions();
    options.faults.ignoreRow = 1;
    StartBoard(options);
    FillCode(images_.code);
    EXPECT_EQ(Write(images_.code, kCodeRowUnits), BlockResult::NoAck);
    EXPECT_EQ(workertest::CountMessages(queue_, kMsgRowWritten), 2u);
}

TEST_F(RowWriterTest, CutLineFailsTheBlock) {
    BoardOptions options = DefaultOptions();
    options.faults.cutAfterRow = 1;
    StartBoard(options);
    FillCode(images_.code);
    EXPECT_EQ(Write(images_.code, kCodeRowUnits), BlockResult::PortLost);
    EXPECT_EQ(board_->RowsProgrammed(), 2u);
    EXPECT_EQ(acknowledged_.load(), 2u);
}

// Input already waiting before the first frame is no acknowledgement of anything: nothing
// is sent.
TEST_F(RowWriterTest, InputWaitingBeforeTheFirstFrameSendsNothing) {
    StartBoard(DefaultOptions());
    FillCode(images_.code);
    char probe = 0x55;
    ASSERT_EQ(theApp().m_serialPort.WriteToPort(&probe, 1), 1u);
    for (int i = 0; i < 200 && board_->Frames().empty(); ++i) std::this_thread::sleep_for(10ms);
    ASSERT_FALSE(board_->Frames().empty());
    std::this_thread::sleep_for(50ms);  // the probe's reply follows its record
    EXPECT_EQ(Write(images_.code, kCodeRowUnits), BlockResult::StrayInput);
    EXPECT_TRUE(workertest::RowFrameAddresses(*board_).empty());
}

class RowWriterThreadTest : public RowWriterTest {
protected:
    void StartWorker() {
        job_.line = &theApp().m_line;
        job_.bootStart = kBootStart;
        job_.bootEnd = kBootEnd;
        job_.notifyWindow = &queue_;
        ASSERT_TRUE(worker_.Start([this] {
            RowWriterThread(&job_);
            ended_ = true;
        }));
    }

    void Command(std::int32_t command) { SetWriterCommand(job_, command); }

    std::int32_t CurrentCommand() {
        std::lock_guard<std::mutex> guard(job_.lock);
        return job_.command;
    }

    // The next block-finished message, skipping progress messages.
    bool WaitForBlockFinished() {
        while (std::optional<WindowMessage> message = queue_.Wait(10s)) {
            if (message->message == kMsgBlockFinished) return true;
        }
        return false;
    }

    bool WaitForEnd() {
        for (int i = 0; i < 100 && !ended_; ++i) std::this_thread::sleep_for(50ms);
        return ended_;
    }

    // A writer that never ends must not hang the test in the thread's join.
    void TearDown() override {
        job_.abandon = true;
        Command(2);
        workertest::RunBounded([this] { worker_.Join(); }, kWriterLimit, "RowWriterThread");
    }

    WriteJob job_;
    std::atomic<bool> ended_{false};
    WorkerThread worker_;
};

TEST_F(RowWriterThreadTest, WritesOneBlockPerCommandUntilToldToEnd) {
    StartBoard(DefaultOptions());
    FillCode(images_.code);
    workertest::FillPattern(images_.config, 0xF80000, 0xF80003);
    job_.image = &images_.code;
    job_.rowUnits = kCodeRowUnits;
    job_.command = 0;
    StartWorker();

    ASSERT_TRUE(WaitForBlockFinished());
    EXPECT_EQ(CurrentCommand(), 1);
    EXPECT_EQ(job_.result, BlockResult::Ok);
    const std::size_t codeRows = board_->RowsProgrammed();

    job_.image = &images_.config;
    job_.rowUnits = 0;
    Command(0);
    ASSERT_TRUE(WaitForBlockFinished());
    EXPECT_EQ(job_.result, BlockResult::RowSizeInvalid);
    EXPECT_EQ(board_->RowsProgrammed(), codeRows);

    job_.rowUnits = 2;
    Command(0);
    ASSERT_TRUE(WaitForBlockFinished());
    EXPECT_EQ(job_.result, BlockResult::Ok);
    EXPECT_EQ(board_->RowsProgrammed(), codeRows + 2);

    Command(2);
    EXPECT_TRUE(WaitForEnd());
}

TEST_F(RowWriterThreadTest, AbandonedBlockStopsSendingAndKeepsTheRequestToEnd) {
    BoardOptions options = DefaultOptions();
    options.lineTiming = true;
    options.baud = 9600;
    StartBoard(options);
    FillCode(images_.code);
    job_.image = &images_.code;
    job_.rowUnits = kCodeRowUnits;
    job_.command = 0;
    StartWorker();

    std::optional<WindowMessage> first = queue_.Wait(10s);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message, kMsgRowWritten);
    job_.abandon = true;
    Command(2);

    ASSERT_TRUE(WaitForBlockFinished());
    EXPECT_EQ(job_.result, BlockResult::FrameNotWritten);
    EXPECT_TRUE(WaitForEnd());
    EXPECT_EQ(CurrentCommand(), 2);
    EXPECT_LT(board_->RowsProgrammed(),
              PlanRows(images_.code, kCodeRowUnits, kBootStart, kBootEnd).rows.size());
}

}  // namespace
