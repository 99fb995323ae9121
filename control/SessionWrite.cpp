#include <cstdio>
#include <string>

#include "control/CauseTexts.h"
#include "control/ProgrammingSession.h"
#include "protocol/Exchanges.h"

namespace {

struct BlockTexts {
    const char* start;
    const char* finish;
};

constexpr BlockTexts kBlockTexts[kBlockCount] = {
    {"flash programming started", "flash write finished"},
    {"eeprom programming started", "eeprom write finished"},
    {"config programming started", "config write finished"},
};

constexpr std::int32_t kWriteBlock = 0;
constexpr std::int32_t kEndWriter = 2;
constexpr std::intptr_t kWriteSucceeded = 0;
constexpr std::intptr_t kWriteFailed = -1;
// The status of a step that found the port gone, instead of blaming the board.
constexpr const char* kPortLostStatus = "port went away";

}  // namespace

void ProgrammingSession::Write() {
    if (busy_) return;
    // A writer told to end wakes once more before it goes; it must be gone before the job is
    // filled again, or it would take this write's command as its own.
    rowWriterThread_.Join();
    write_ = WriteOutcome{};

    using bootproto::ExchangeResult;
    if (const ExchangeResult sync = bootproto::CheckSynchronism(engine_.line);
        sync != ExchangeResult::Passed) {
        const bool lost = sync == ExchangeResult::PortLost;
        write_.end = lost ? WriteEnd::PortLost : WriteEnd::SyncFailed;
        SetStatus(Lamp::Red, lost ? kPortLostStatus : "synchronization error");
        Log("Checking synchronism", false);
        LeaveOnlyReconnectEnabled();
        return;
    }

    commands_.open = false;
    commands_.run = false;
    commands_.reload = false;
    commands_.reconnect = false;
    SetBusy(true);

    block_ = -1;
    writeJob_.line = &engine_.line;
    writeJob_.bootStart = engine_.device.bootStart;
    writeJob_.bootEnd = engine_.device.bootEnd;
    writeJob_.notifyWindow = &wake_;
    writeJob_.abandon = false;
    writeJob_.rowsAcknowledgedInWrite = 0;
    SetWriterCommand(kWriteBlock);

    if (!SelectNextBlock()) {
        write_.end = WriteEnd::NoBlocks;
        Box(BoxKind::NoBlocks, "no memory blocks selected!", "write error");
        RestoreIdleCommands();
        SetStatus(Lamp::Red, "write error");
        Log("write process started", false);
        SetBusy(false);
        return;
    }

    ShowProgressGroup(true);
    SetLamp(Lamp::Grey);

    rowWriterAlive_ = true;
    const bool started = rowWriterThread_.Start([this] {
        RowWriterThread(&writeJob_);
        rowWriterAlive_ = false;
    });
    if (!started) {
        rowWriterAlive_ = false;
        write_.end = WriteEnd::NotStarted;
        Box(BoxKind::WriteNotStarted, "Unable to start write process", "write failed");
        SetLamp(Lamp::Red);
        RestoreIdleCommands();
        Log("write process started", false);
        block_ = -1;
        SetBusy(false);
        return;
    }
    Log("write process started", true);
}

bool ProgrammingSession::SelectNextBlock() {
    ++block_;
    while (block_ < kBlockCount && !BlockChosen(block_)) ++block_;
    if (block_ >= kBlockCount) return false;

    CMemoryImage& image = engine_.device.images[block_];
    writeJob_.image = &image;
    writeJob_.rowUnits = RowUnits(image);
    rowsSent_ = 0;
    const std::uint32_t first = image.FirstUsedAddress();
    const std::uint32_t last = image.LastUsedAddress();

    SetStatusText(kBlockTexts[block_].start);
    progress_.SetRange(first, last);
    progress_.SetPosition(first);
    progress_.step = static_cast<std::uint32_t>(writeJob_.rowUnits);
    Changed(SessionChange::Progress);
    return true;
}

void ProgrammingSession::OnRowWritten() {
    if (!rowWriterThread_.Joinable() || !IsBlockIndex(block_)) return;
    ++rowsSent_;
    progress_.Step();
    Changed(SessionChange::Progress);
}

BlockOutcome ProgrammingSession::CurrentBlockOutcome() const {
    BlockOutcome outcome;
    outcome.block = block_;
    outcome.result = writeJob_.result;
    const std::vector<std::uint32_t>& rows = image_->Plan(block_).rows.rows;
    outcome.rowsPlanned = static_cast<std::uint32_t>(rows.size());
    outcome.rowsAcknowledged = writeJob_.rowsAcknowledged.load();
    // The failed row is the one after those the board acknowledged: the writer takes back
    // the acknowledgement of a row that stray input put in doubt.
    if (outcome.result != BlockResult::Ok && outcome.result != BlockResult::RowSizeInvalid &&
        outcome.rowsAcknowledged < rows.size()) {
        outcome.failedRow = rows[outcome.rowsAcknowledged];
    }
    if (outcome.result == BlockResult::BadAck) outcome.refusal = writeJob_.refusal;
    if (outcome.result != BlockResult::Ok) {
        BlockFailure failure;
        failure.code = outcome.result;
        failure.row = outcome.failedRow;
        failure.reply = outcome.refusal;
        failure.rowBytes = static_cast<std::size_t>(2 * writeJob_.rowUnits + 6 + 1);
        failure.baud = static_cast<unsigned>(engine_.baudRate);
        outcome.cause = std::string(kMemoryBlocks[block_].name) + ": " + BlockCause(failure);
    }
    return outcome;
}

void ProgrammingSession::OnBlockFinished() {
    if (!rowWriterThread_.Joinable() || !IsBlockIndex(block_)) return;
    const std::string text = kBlockTexts[block_].finish;
    write_.blocks.push_back(CurrentBlockOutcome());
    const BlockOutcome outcome = write_.blocks.back();
    Changed(SessionChange::BlockDone);

    if (outcome.result != BlockResult::Ok) {
        Log(text, false);
        SetLamp(Lamp::Grey);
        char question[128];
        std::snprintf(question, sizeof question,
                      "Error code: %d\nWrite process of this block, not completed.\nProceed "
                      "anyway?",
                      Code(outcome.result));
        const BoxAnswer answer =
            Box(BoxKind::BlockFailed, question, "write error", BoxButtons::YesNo, outcome.cause);
        write_.blocks.back().passedOver = answer == BoxAnswer::Yes;
        if (answer != BoxAnswer::Yes) {
            SetWriterCommand(kEndWriter);
            wake_.Post(kMsgWriteFinished, kWriteFailed, 0);
            return;
        }
    } else {
        Log(text, true);
    }

    if (SelectNextBlock()) {
        SetWriterCommand(kWriteBlock);
    } else {
        SetWriterCommand(kEndWriter);
        // A block passed over with "Proceed anyway?" is still not on the chip: the write
        // as a whole failed.
        bool anyFailed = false;
        for (const BlockOutcome& block : write_.blocks)
            anyFailed |= block.result != BlockResult::Ok;
        wake_.Post(kMsgWriteFinished, anyFailed ? kWriteFailed : kWriteSucceeded, 0);
    }
}

bool ProgrammingSession::WriteRunning() const {
    return busy_ && rowWriterThread_.Joinable() && IsBlockIndex(block_);
}

void ProgrammingSession::Stop() {
    if (!WriteRunning()) {
        if (detection_.Started()) {
            detection_.RequestStop();
            SetTimerWanted(false);
        }
        return;
    }
    // The writer finishes the row on the line, sends no further row and ends; what it
    // posted meanwhile is stale once it has been joined.
    writeJob_.abandon = true;
    SetWriterCommand(kEndWriter);
    rowWriterThread_.Join();
    BlockOutcome stopped = CurrentBlockOutcome();
    write_.blocks.push_back(stopped);
    Changed(SessionChange::BlockDone);
    Log("write stopped: " + std::to_string(stopped.rowsAcknowledged) + " rows of " +
            kMemoryBlocks[block_].name + " written",
        false);
    FinishWrite(WriteEnd::Stopped);
}

void ProgrammingSession::OnWriteFinished(std::intptr_t status) {
    if (!rowWriterThread_.Joinable() || !busy_) return;
    FinishWrite(status == kWriteSucceeded ? WriteEnd::Completed : WriteEnd::Failed);
}

void ProgrammingSession::FinishWrite(WriteEnd end) {
    // The writer was told to end before this: it is gone once the write is over.
    rowWriterThread_.Join();
    write_.end = end;
    write_.rowsAcknowledged = writeJob_.rowsAcknowledgedInWrite.load();
    RestoreIdleCommands();
    ShowBar(false);
    if (end == WriteEnd::Completed) {
        Log("dsPIC write process completed", true);
        SetStatus(Lamp::Green, "write completed");
    } else {
        Log("dsPIC write process completed", false);
        SetStatus(Lamp::Red, "failed");
    }
    SetBusy(false);
}

void ProgrammingSession::Run() {
    if (busy_ || !portOpen_) return;

    using bootproto::ExchangeResult;
    const char* step = "Checking synchronism";
    run_ = RunEnd::SyncFailed;
    ExchangeResult result = bootproto::CheckSynchronism(engine_.line);
    if (result == ExchangeResult::Passed) {
        step = "Sending user program command";
        run_ = RunEnd::NotSent;
        result = bootproto::SendRunUserProgram(engine_.line);
    }

    if (result == ExchangeResult::Passed) {
        run_ = RunEnd::Running;
        SetStatus(Lamp::Green, "running program...");
        Log("Running program", true);
        portOpen_ = false;
        engine_.port.CleanPort();
        engine_.port.ClosePort();
    } else {
        const bool lost = result == ExchangeResult::PortLost;
        if (lost) run_ = RunEnd::PortLost;
        SetStatus(Lamp::Red, lost ? kPortLostStatus : "running failed");
        Log(step, false);
        commands_.reconnect = true;
    }
    commands_.reload = false;
    commands_.open = false;
    commands_.write = false;
    commands_.run = false;
    Changed(SessionChange::Commands);
}
