#include <cstdint>

#include "protocol/Frames.h"
#include "protocol/Line.h"
#include "protocol/RowPlan.h"
#include "protocol/Workers.h"

namespace {

constexpr std::int32_t kCommandWrite = 0;
constexpr std::int32_t kCommandIdle = 1;

std::int32_t WaitForCommand(WriteJob& job) {
    std::unique_lock<std::mutex> guard(job.lock);
    job.commandChanged.wait(guard, [&job] { return job.command != kCommandIdle; });
    return job.command;
}

void FinishBlock(WriteJob& job, BlockResult result, std::uint8_t refusal) {
    std::lock_guard<std::mutex> guard(job.lock);
    job.result = result;
    job.refusal = refusal;
    if (job.command == kCommandWrite) job.command = kCommandIdle;
}

// A failed port call means a vanished port or just a failed exchange.
BlockResult FailureOf(const bootproto::Line& line, BlockResult exchangeResult) {
    return line.WentAway() ? BlockResult::PortLost : exchangeResult;
}

BlockResult SendRow(WriteJob& job, std::uint8_t* frame, std::uint32_t address, std::uint32_t row,
                    std::uint8_t* refusal) {
    using bootproto::Line;
    using bootproto::LineClock;
    Line& line = *job.line;
    const int length = bootproto::BuildWriteFrame(frame, address, job.rowUnits, *job.image);
    if (length < 0) return BlockResult::RowSizeInvalid;
    const LineClock::time_point sent = line.Now();
    const unsigned long written = line.Send({bootproto::ExchangeKind::Row, row, address}, frame,
                                            static_cast<unsigned long>(length));
    if (written == Line::kFailure) return FailureOf(line, BlockResult::FrameNotWritten);
    if (written != static_cast<unsigned long>(length)) return BlockResult::FrameNotWritten;
    // A byte already waiting once the frame's write is done came in while the frame was
    // still going out, unless the write took its time on the line: it is no acknowledgement.
    const unsigned long waiting = line.QueuedInput();
    const LineClock::time_point lookedAt = line.Now();
    job.notifyWindow->Post(kMsgRowWritten, 0, 0);
    char ack = 0;
    const unsigned long received =
        line.Receive({bootproto::ExchangeKind::Ack, row, address}, &ack, 1);
    const LineClock::time_point seen =
        waiting != 0 && waiting != Line::kFailure ? lookedAt : line.Now();
    if (received == Line::kFailure) return FailureOf(line, BlockResult::NoAck);
    if (received == 1 &&
        !bootproto::CanBeTheAnswer(sent, static_cast<std::size_t>(length), line.Baud(), seen,
                                   static_cast<std::uint8_t>(ack))) {
        return BlockResult::StrayInput;
    }
    if (received != 1) return BlockResult::NoAck;
    if (static_cast<std::uint8_t>(ack) != bootproto::kAck) {
        if (refusal != nullptr) *refusal = static_cast<std::uint8_t>(ack);
        return BlockResult::BadAck;
    }
    return BlockResult::Ok;
}

// The synchronism check after a block's last acknowledgement: the board answers it only after
// whatever it still had to say about that row, so anything before its 0xFF means the
// acknowledgement read last was not the board's.
BlockResult FenceAfterLastRow(bootproto::Line& line) {
    using bootproto::Line;
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::SyncCheck};
    const char request = static_cast<char>(bootproto::kSyncCheck);
    const unsigned long written = line.Send(kExchange, &request, 1);
    if (written == Line::kFailure) return FailureOf(line, BlockResult::FrameNotWritten);
    if (written != 1) return BlockResult::FrameNotWritten;
    char reply = 0;
    const unsigned long received = line.Receive(kExchange, &reply, 1);
    if (received == Line::kFailure) return FailureOf(line, BlockResult::NoAck);
    if (received != 1) return BlockResult::NoAck;
    if (static_cast<std::uint8_t>(reply) != bootproto::kSyncReply) return BlockResult::StrayInput;
    return BlockResult::Ok;
}

// Whether the acknowledgement read last holds once the line after it is seen, and the line is
// quiet for the next frame. A byte waiting here came from no exchange: the last
// acknowledgement may have been it, so its row (counted in `acknowledged`, when given) no
// longer counts. A port found gone took the last acknowledgement before it went.
BlockResult CheckLineAfterRow(bootproto::Line& line, bool blockEnds,
                              std::atomic<std::uint32_t>* acknowledged) {
    const bootproto::LineState state = line.LookForStrayInput();
    if (state == bootproto::LineState::PortLost) return BlockResult::PortLost;
    BlockResult result =
        state == bootproto::LineState::Quiet ? BlockResult::Ok : BlockResult::StrayInput;
    if (result == BlockResult::Ok && blockEnds) result = FenceAfterLastRow(line);
    if (result != BlockResult::Ok && result != BlockResult::PortLost && acknowledged != nullptr) {
        --*acknowledged;
    }
    return result;
}

}  // namespace

void SetWriterCommand(WriteJob& job, std::int32_t command) {
    {
        std::lock_guard<std::mutex> guard(job.lock);
        job.command = command;
    }
    job.commandChanged.notify_all();
}

BlockResult WriteRows(WriteJob& job, std::uint8_t* refusal) {
    job.rowsAcknowledged = 0;
    if (job.image == nullptr) return BlockResult::Ok;
    const RowPlan plan = PlanRows(*job.image, job.rowUnits, job.bootStart, job.bootEnd);
    if (!plan.rowSizeValid) return BlockResult::RowSizeInvalid;
    if (plan.rows.empty()) return BlockResult::Ok;

    std::uint8_t frame[bootproto::kFrameBufferSize];
    std::uint32_t row = 0;
    std::atomic<std::uint32_t>* pending = nullptr;  // set once a row's acknowledgement counts
    for (const std::uint32_t address : plan.rows) {
        if (job.abandon.load()) return BlockResult::FrameNotWritten;
        const BlockResult line = CheckLineAfterRow(*job.line, false, pending);
        if (line != BlockResult::Ok) return line;
        const BlockResult result = SendRow(job, frame, address, row++, refusal);
        if (result != BlockResult::Ok) return result;
        ++job.rowsAcknowledged;
        pending = &job.rowsAcknowledged;
    }
    return CheckLineAfterRow(*job.line, true, pending);
}

unsigned RowWriterThread(WriteJob* job) {
    while (WaitForCommand(*job) == kCommandWrite) {
        std::uint8_t refusal = 0;
        const BlockResult result = WriteRows(*job, &refusal);
        job->rowsAcknowledgedInWrite += job->rowsAcknowledged.load();
        FinishBlock(*job, result, refusal);
        job->notifyWindow->Post(kMsgBlockFinished, 0, 0);
    }
    return 0;
}
