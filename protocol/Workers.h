#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "common/WindowMessages.h"
#include "device/MemoryImage.h"
#include "protocol/EngineContext.h"
#include "protocol/Line.h"
#include "protocol/Outcomes.h"

// Probes, identifies and posts one WM_USER+1 to engine.detection.notifyWindow, stopping when
// engine.detection.stop is set. Uses engine.line and stores the identifier in
// engine.deviceId. Returns 0.
unsigned DetectionWorker(const EngineContext& engine);
// The worker's exchanges on `line`: probes until the board answers (playing param.reset after
// the first attempt) or param.stop is set, then the identification, whose identifier goes to
// `deviceId`.
DetectionResult Detect(bootproto::Line& line, const DetectionThreadParam& param,
                       unsigned char deviceId[2]);

// Catalogue lookup (in `catalogue` when given, else in the file in engine.workingPath) and
// firmware version request, on the window's thread; fills engine.device and
// engine.firmwareVersion. A refused lookup leaves the catalogue's words for what it refused in
// `catalogueCause` when given.
IdentifyResult IdentifyDevice(const EngineContext& engine, std::string* catalogueCause = nullptr,
                              const DeviceCatalogue* catalogue = nullptr);

// Shared between the write sequencer and the row writer.
struct WriteJob {
    bootproto::Line* line = nullptr;  // the board's line, traced or not
    CMemoryImage* image = nullptr;
    std::int32_t rowUnits = 0;
    std::uint32_t bootStart = 0;
    std::uint32_t bootEnd = 0;
    MessageTarget* notifyWindow = nullptr;
    std::mutex lock;
    std::int32_t command = 0;                // 0 write the block, 1 idle, anything else: end
    std::condition_variable commandChanged;  // the idle writer waits on it; see SetWriterCommand
    BlockResult result = BlockResult::Ok;
    std::uint8_t refusal = 0;  // with BadAck: the byte the board answered the row with
    // Set when the window goes away mid-write: the writer finishes the row on the line,
    // sends no further row and ends the block.
    std::atomic<bool> abandon{false};
    // Rows of the current block the board has acknowledged; the writer clears it per block.
    std::atomic<std::uint32_t> rowsAcknowledged{0};
    // Rows the board acknowledged over the whole write: each block's count is added when the
    // block ends, before its message is posted. The sequencer clears it per write.
    std::atomic<std::uint32_t> rowsAcknowledgedInWrite{0};
};

// Sets the job's command under its lock and wakes the idle writer.
void SetWriterCommand(WriteJob& job, std::int32_t command);
// Thread body: writes one block per command 0 until told to end, waking when the command
// changes. Returns 0. A request to end made while a block was being written is kept, not
// overwritten by the idle state.
unsigned RowWriterThread(WriteJob* job);
// Writes one block of job.image through job.line: exactly the rows PlanRows chooses, then a
// synchronism check that proves the last acknowledgement was the board's. When job.abandon is
// set before a row, no further row is sent and the result is FrameNotWritten.
// job.rowsAcknowledged counts the block's acknowledged rows; with BadAck the board's answer
// goes to `refusal` when given. Reads neither the job's command nor its result.
BlockResult WriteRows(WriteJob& job, std::uint8_t* refusal = nullptr);

// A worker thread owned by its starter; Start is the "create suspended, then resume"
// after the starter has filled the parameter block.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread() { Join(); }

    // False when the thread could not be created. A thread of an earlier Start is joined
    // first.
    bool Start(std::function<void()> body);
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool Joinable() const { return thread_.joinable(); }

private:
    std::thread thread_;
};
