#include <chrono>
#include <cstdint>
#include <thread>

#include "protocol/Frames.h"
#include "protocol/RowPlan.h"
#include "protocol/Workers.h"

namespace {

constexpr std::chrono::milliseconds kCommandPollInterval{100};
constexpr std::int32_t kCommandWrite = 0;
constexpr std::int32_t kCommandIdle = 1;

std::int32_t ReadCommand(WriteJob& job) {
    std::lock_guard<std::mutex> guard(job.lock);
    return job.command;
}

void FinishBlock(WriteJob& job, int result) {
    std::lock_guard<std::mutex> guard(job.lock);
    job.result = result;
    if (job.command == kCommandWrite) job.command = kCommandIdle;
}

int SendRow(CSerialPort& port, std::uint8_t* frame, std::uint32_t address, int rowUnits,
            CMemoryImage& image, MessageTarget* notifyWindow) {
    const int length = bootproto::BuildWriteFrame(frame, address, rowUnits, image);
    if (length < 0) return kBlockRowSizeInvalid;
    if (port.WriteToPort(reinterpret_cast<char*>(frame), static_cast<unsigned long>(length)) !=
        static_cast<unsigned long>(length)) {
        return kBlockFrameNotWritten;
    }
    notifyWindow->Post(kMsgRowWritten, 0, 0);
    char ack = 0;
    if (port.ReadFromPort(&ack, 1) != 1) return kBlockNoAck;
    if (static_cast<std::uint8_t>(ack) != bootproto::kAck) return kBlockBadAck;
    return kBlockOk;
}

}  // namespace

int WriteRows(CSerialPort& port, CMemoryImage* image, int rowUnits, MessageTarget* notifyWindow,
              std::uint32_t bootStart, std::uint32_t bootEnd, const std::atomic<bool>* abandon) {
    if (image == nullptr) return kBlockOk;
    const RowPlan plan = PlanRows(*image, rowUnits, bootStart, bootEnd);
    if (!plan.rowSizeValid) return kBlockRowSizeInvalid;

    std::uint8_t frame[bootproto::kFrameBufferSize];
    for (const std::uint32_t address : plan.rows) {
        if (abandon != nullptr && abandon->load()) return kBlockFrameNotWritten;
        const int result = SendRow(port, frame, address, rowUnits, *image, notifyWindow);
        if (result != kBlockOk) return result;
    }
    return kBlockOk;
}

unsigned RowWriterThread(WriteJob* job) {
    const std::uint32_t bootStart = job->bootStart;
    const std::uint32_t bootEnd = job->bootEnd;
    MessageTarget* const notifyWindow = job->notifyWindow;
    for (;;) {
        const std::int32_t command = ReadCommand(*job);
        std::this_thread::sleep_for(kCommandPollInterval);
        if (command == kCommandWrite) {
            const int result = WriteRows(*job->port, job->image, job->rowUnits, notifyWindow,
                                         bootStart, bootEnd, &job->abandon);
            FinishBlock(*job, result);
            notifyWindow->Post(kMsgBlockFinished, 0, 0);
        } else if (command != kCommandIdle) {
            return 0;
        }
    }
}
