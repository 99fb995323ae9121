#include <chrono>
#include <cstdint>
#include <thread>

#include "protocol/Frames.h"
#include "protocol/LineCheck.h"
#include "protocol/RowPlan.h"
#include "protocol/Workers.h"

namespace {

constexpr std::chrono::milliseconds kCommandPollInterval{100};
constexpr std::int32_t kCommandWrite = 0;
constexpr std::int32_t kCommandIdle = 1;
// Before each frame the writer only glances at the line; after a block's last row it waits a
// moment longer, so that a reply that follows a stray acknowledgement is seen there too.
constexpr unsigned long kLookBeforeFrameMs = 1;
constexpr unsigned long kLookAfterBlockMs = 20;

std::int32_t ReadCommand(WriteJob& job) {
    std::lock_guard<std::mutex> guard(job.lock);
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
    using bootproto::TraceDirection;
    const int length = bootproto::BuildWriteFrame(frame, address, rowUnits, image);
    if (length < 0) return BlockResult::RowSizeInvalid;
    const unsigned long written =
        port.WriteToPort(reinterpret_cast<char*>(frame), static_cast<unsigned long>(length));
    bootproto::Trace(trace, TraceDirection::HostToBoard,
                     {bootproto::ExchangeKind::Row, row, address}, frame, written);
    if (written == CSerialPort::kFailure) return FailureOf(port, BlockResult::FrameNotWritten);
    if (written != static_cast<unsigned long>(length)) return BlockResult::FrameNotWritten;
    notifyWindow->Post(kMsgRowWritten, 0, 0);
    char ack = 0;
    const unsigned long received = port.ReadFromPort(&ack, 1);
    bootproto::Trace(trace, TraceDirection::BoardToHost,
                     {bootproto::ExchangeKind::Ack, row, address}, &ack, received);
    if (received == CSerialPort::kFailure) return FailureOf(port, BlockResult::NoAck);
    if (received != 1) return BlockResult::NoAck;
    if (static_cast<std::uint8_t>(ack) != bootproto::kAck) {
        if (refusal != nullptr) *refusal = static_cast<std::uint8_t>(ack);
        return BlockResult::BadAck;
    }
    return BlockResult::Ok;
}

// A byte on the line before a frame, or after the block's last acknowledgement, came from no
// exchange: the acknowledgement read last may have been it, so its row is not counted. A port
// found gone here took the last acknowledgement before it went.
BlockResult CheckLineAfterRow(CSerialPort& port, unsigned long waitMs,
                              std::atomic<std::uint32_t>* acknowledged, bool rowPending,
                              bootproto::LineTrace* trace) {
    const bootproto::LineState state = bootproto::LookForStrayInput(port, waitMs, trace);
    if (state == bootproto::LineState::Quiet) return BlockResult::Ok;
    if (state == bootproto::LineState::PortLost) return BlockResult::PortLost;
    if (rowPending && acknowledged != nullptr) --*acknowledged;
    return BlockResult::StrayInput;
}

}  // namespace

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
    bool rowPending = false;  // a row is acknowledged but the line after it not yet seen
    std::uint32_t row = 0;
    for (const std::uint32_t address : plan.rows) {
        if (abandon != nullptr && abandon->load()) return BlockResult::FrameNotWritten;
        const BlockResult line =
            CheckLineAfterRow(port, kLookBeforeFrameMs, acknowledged, rowPending, trace);
        if (line != BlockResult::Ok) return line;
        const BlockResult result =
            SendRow(port, frame, address, rowUnits, *image, notifyWindow, row++, trace, refusal);
        if (result != BlockResult::Ok) return result;
        if (acknowledged != nullptr) ++*acknowledged;
        rowPending = true;
    }
    return CheckLineAfterRow(port, kLookAfterBlockMs, acknowledged, rowPending, trace);
}

unsigned RowWriterThread(WriteJob* job) {
    const std::uint32_t bootStart = job->bootStart;
    const std::uint32_t bootEnd = job->bootEnd;
    MessageTarget* const notifyWindow = job->notifyWindow;
    for (;;) {
        const std::int32_t command = ReadCommand(*job);
        std::this_thread::sleep_for(kCommandPollInterval);
        if (command == kCommandWrite) {
            std::uint8_t refusal = 0;
            const BlockResult result =
                WriteRows(*job->port, job->image, job->rowUnits, notifyWindow, bootStart, bootEnd,
                          &job->abandon, &job->rowsAcknowledged, job->trace, &refusal);
            job->rowsAcknowledgedInWrite += job->rowsAcknowledged.load();
            FinishBlock(*job, result, refusal);
            notifyWindow->Post(kMsgBlockFinished, 0, 0);
        } else if (command != kCommandIdle) {
            return 0;
        }
    }
}
