#include "control/DetectionRun.h"

#include <algorithm>
#include <chrono>

namespace {

// No parity, 8 data bits, 1 stop bit, received-character and clear-to-send events, 512-byte
// buffers: the settings of every opening.
constexpr char kParity = 'N';
constexpr unsigned kDataBits = 8;
constexpr unsigned kStopBits = 1;
constexpr unsigned long kEventMask = 9;
constexpr unsigned kBufferSize = 512;

}  // namespace

bool OpenEnginePort(const EngineContext& engine, const std::string& devicePath) {
    const unsigned baud = static_cast<unsigned>(engine.baudRate);
    const int opened =
        devicePath.empty()
            ? engine.port.InitPort(static_cast<unsigned>(engine.comNumber), baud, kParity,
                                   kDataBits, kStopBits, kEventMask, kBufferSize)
            : engine.port.InitPort(devicePath.c_str(), baud, kParity, kDataBits, kStopBits,
                                   kEventMask, kBufferSize);
    return opened != 0;
}

std::string EnginePortName(const EngineContext& engine, const std::string& devicePath) {
    return devicePath.empty() ? "COM" + std::to_string(engine.comNumber) : devicePath;
}

bool DetectionRun::Start(MessageTarget& target, std::uint32_t limitSeconds,
                         const bootproto::ResetSequence* reset) {
    Stop();
    limitSeconds_ = limitSeconds;
    started_ = clock_.Now();
    DetectionThreadParam& param = engine_.detection;
    param.notifyWindow = &target;
    param.stop = 0;
    param.reset = reset;
    target_ = &target;

    alive_ = true;
    const bool started = worker_.Start([this] {
        DetectionWorker(engine_);
        alive_ = false;
    });
    if (!started) alive_ = false;
    return started;
}

bool DetectionRun::Tick() {
    if (clock_.Now() - started_ < std::chrono::seconds(limitSeconds_)) return false;
    engine_.detection.stop = 1;
    return true;
}

std::uint32_t DetectionRun::SecondsWaited() const {
    const auto waited =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.Now() - started_).count();
    if (waited < 0) return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(waited, limitSeconds_));
}

DetectionOutcome DetectionRun::Finish(DetectionResult result) {
    // The worker's message is its last act; joining it here is all but immediate, and the
    // port is this thread's again once it has.
    worker_.Join();
    DetectionOutcome outcome;
    outcome.detection = result;
    if (result == DetectionResult::Synchronised) {
        outcome.identification = IdentifyDevice(engine_, &outcome.catalogueCause, catalogue_.get());
    }
    return outcome;
}

void DetectionRun::RequestStop() {
    if (worker_.Joinable()) engine_.detection.stop = 1;
}

void DetectionRun::Stop() {
    RequestStop();
    worker_.Join();
    DetectionThreadParam& param = engine_.detection;
    if (target_ != nullptr && param.notifyWindow == target_) param.notifyWindow = nullptr;
    target_ = nullptr;
}
