#include <cstdint>

#include "protocol/Frames.h"
#include "protocol/LineCheck.h"
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
BlockResult FailureOf(const CSerialPort& port, BlockResult exchangeResult) {
    return bootproto::PortWentAway(port) ? BlockResult::PortLost : exchangeResult;
}

BlockResult SendRow(CSerialPort& port, std::uint8_t* frame, std::uint32_t address, int rowUnits,
                    CMemoryImage& image, MessageTarget* notifyWindow, std::uint32_t row,
                    bootproto::LineTrace* trace, std::uint8_t* refusal) {
    using bootproto::LineClock;
    using bootproto::TraceDirection;
    const int length = bootproto::BuildWriteFrame(frame, address, rowUnits, image);
    if (length < 0) return BlockResult::RowSizeInvalid;
    const unsigned long baud = port.lineSettings.baudRate;
    const LineClock::time_point sent = LineClock::now();
    const unsigned long written =
        port.WriteToPort(reinterpret_cast<char*>(frame), static_cast<unsigned long>(length));
    bootproto::Trace(trace, TraceDirection::HostToBoard,
                     {bootproto::ExchangeKind::Row, row, address}, frame, written);
    if (written == CSerialPort::kFailure) return FailureOf(port, BlockResult::FrameNotWritten);
    if (written != static_cast<unsigned long>(length)) return BlockResult::FrameNotWritten;
    // A byte already waiting once the frame's write is done came in while the frame was
    // still going out, unless the write took its time on the line: it is no acknowledgement.
    const unsigned long waiting = port.QueuedInput();
    const LineClock::time_point lookedAt = LineClock::now();
    notifyWindow->Post(kMsgRowWritten, 0, 0);
    char ack = 0;
    const unsigned long received = port.ReadFromPort(&ack, 1);
    const LineClock::time_point seen =
        waiting != 0 && waiting != CSerialPort::kFailure ? lookedAt : LineClock::now();
    bootproto::Trace(trace, TraceDirection::BoardToHost,
                     {bootproto::ExchangeKind::Ack, row, address}, &ack, received);
    if (received == CSerialPort::kFailure) return FailureOf(port, BlockResult::NoAck);
    if (received == 1 && !bootproto::CanBeTheAnswer(sent, static_cast<std::size_t>(length), baud,
                                                    seen, static_cast<std::uint8_t>(ack))) {
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
BlockResult FenceAfterLastRow(CSerialPort& port, bootproto::LineTrace* trace) {
    using bootproto::TraceDirection;
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::SyncCheck};
    char request = static_cast<char>(bootproto::kSyncCheck);
    const unsigned long written = port.WriteToPort(&request, 1);
    bootproto::Trace(trace, TraceDirection::HostToBoard, kExchange, &request, written);
    if (written == CSerialPort::kFailure) return FailureOf(port, BlockResult::FrameNotWritten);
    if (written != 1) return BlockResult::FrameNotWritten;
    char reply = 0;
    const unsigned long received = port.ReadFromPort(&reply, 1);
    bootproto::Trace(trace, TraceDirection::BoardToHost, kExchange, &reply, received);
    if (received == CSerialPort::kFailure) return FailureOf(port, BlockResult::NoAck);
    if (received != 1) return BlockResult::NoAck;
    if (static_cast<std::uint8_t>(reply) != bootproto::kSyncReply) return BlockResult::StrayInput;
    return BlockResult::Ok;
}

// Whether the acknowledgement read last holds once the line after it is seen, and the line is
// quiet for the next frame. A byte waiting here came from no exchange: the last
// acknowledgement may have been it, so its row (counted in `acknowledged`, when given) no
// longer counts. A port found gone took the last acknowledgement before it went.
BlockResult CheckLineAfterRow(CSerialPort& port, bool blockEnds,
                              std::atomic<std::uint32_t>* acknowledged,
                              bootproto::LineTrace* trace) {
    const bootproto::LineState state = bootproto::LookForStrayInput(port, trace);
    if (state == bootproto::LineState::PortLost) return BlockResult::PortLost;
    BlockResult result =
        state == bootproto::LineState::Quiet ? BlockResult::Ok : BlockResult::StrayInput;
    if (result == BlockResult::Ok && blockEnds) result = FenceAfterLastRow(port, trace);
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

BlockResult WriteRows(CSerialPort& port, CMemoryImage* image, int rowUnits,
                      MessageTarget* notifyWindow, std::uint32_t bootStart, std::uint32_t bootEnd,
                      const std::atomic<bool>* abandon, std::atomic<std::uint32_t>* acknowledged,
                      bootproto::LineTrace* trace, std::uint8_t* refusal) {
    if (acknowledged != nullptr) *acknowledged = 0;
    if (image == nullptr) return BlockResult::Ok;
    const RowPlan plan = PlanRows(*image, rowUnits, bootStart, bootEnd);
    if (!plan.rowSizeValid) return BlockResult::RowSizeInvalid;
    if (plan.rows.empty()) return BlockResult::Ok;

    std::uint8_t frame[bootproto::kFrameBufferSize];
    std::uint32_t row = 0;
    std::atomic<std::uint32_t>* pending = nullptr;  // set once a row's acknowledgement counts
    for (const std::uint32_t address : plan.rows) {
        if (abandon != nullptr && abandon->load()) return BlockResult::FrameNotWritten;
        const BlockResult line = CheckLineAfterRow(port, false, pending, trace);
        if (line != BlockResult::Ok) return line;
        const BlockResult result =
            SendRow(port, frame, address, rowUnits, *image, notifyWindow, row++, trace, refusal);
        if (result != BlockResult::Ok) return result;
        if (acknowledged != nullptr) ++*acknowledged;
        pending = acknowledged;
    }
    return CheckLineAfterRow(port, true, pending, trace);
}

unsigned RowWriterThread(WriteJob* job) {
    const std::uint32_t bootStart = job->bootStart;
    const std::uint32_t bootEnd = job->bootEnd;
    MessageTarget* const notifyWindow = job->notifyWindow;
    while (WaitForCommand(*job) == kCommandWrite) {
        std::uint8_t refusal = 0;
        const BlockResult result =
            WriteRows(*job->port, job->image, job->rowUnits, notifyWindow, bootStart, bootEnd,
                      &job->abandon, &job->rowsAcknowledged, job->trace, &refusal);
        job->rowsAcknowledgedInWrite += job->rowsAcknowledged.load();
        FinishBlock(*job, result, refusal);
        notifyWindow->Post(kMsgBlockFinished, 0, 0);
    }
    return 0;
}
