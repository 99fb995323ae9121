#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "common/WindowMessages.h"
#include "device/MemoryImage.h"
#include "protocol/EngineContext.h"
#include "protocol/Outcomes.h"
#include "serial/CSerialPort.h"

// Probes, identifies and posts one WM_USER+1 to engine.detection.notifyWindow, stopping when
// engine.detection.stop is set. Uses engine.port and stores the identifier in
// engine.deviceId. Returns 0.
unsigned DetectionWorker(const EngineContext& engine);

// Catalogue lookup (in `catalogue` when given, else in the file in engine.workingPath) and
// firmware version request, on the window's thread; fills engine.device and
// engine.firmwareVersion. A refused lookup leaves the catalogue's words for what it refused in
// `catalogueCause` when given.
IdentifyResult IdentifyDevice(const EngineContext& engine, std::string* catalogueCause = nullptr,
                              const DeviceCatalogue* catalogue = nullptr);

// Shared between the write sequencer and the row writer.
struct WriteJob {
    CSerialPort* port = nullptr;
    CMemoryImage* image = nullptr;
    std::int32_t rowUnits = 0;
    std::uint32_t bootStart = 0;
    std::uint32_t bootEnd = 0;
    MessageTarget* notifyWindow = nullptr;
    std::mutex lock;
    std::int32_t command = 0;  // 0 write the block, 1 idle, anything else: end
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
    bootproto::LineTrace* trace = nullptr;  // the board's line trace, none when not traced
};

// Thread body: writes one block per command 0 until told to end. Returns 0. A request to
// end made while a block was being written is kept, not overwritten by the idle state.
unsigned RowWriterThread(WriteJob* job);
// Writes one block through `port`: exactly the rows PlanRows chooses. When `abandon` is set
// before a row, no further row is sent and the result is FrameNotWritten. `acknowledged`
// counts the block's acknowledged rows; every byte goes to `trace` when there is one; with
// BadAck the board's answer goes to `refusal` when given.
BlockResult WriteRows(CSerialPort& port, CMemoryImage* image, int rowUnits,
                      MessageTarget* notifyWindow, std::uint32_t bootStart, std::uint32_t bootEnd,
                      const std::atomic<bool>* abandon = nullptr,
                      std::atomic<std::uint32_t>* acknowledged = nullptr,
                      bootproto::LineTrace* trace = nullptr, std::uint8_t* refusal = nullptr);

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
