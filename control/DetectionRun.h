#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/EngineContext.h"
#include "protocol/Workers.h"

// Opens the engine's port at engine.baudRate with the settings every opening uses: the device
// `devicePath` when it is given, COM<engine.comNumber> otherwise. False when it did not open.
bool OpenEnginePort(const EngineContext& engine, const std::string& devicePath = {});
// The port as the failure text names it: its device path, or COM<n>.
std::string EnginePortName(const EngineContext& engine, const std::string& devicePath = {});

// What a detection came to.
struct DetectionOutcome {
    DetectionResult detection = DetectionResult::Stopped;
    // Set when the worker synchronised: the identification that followed.
    std::optional<IdentifyResult> identification;

    bool Identified() const { return identification == IdentifyResult::Identified; }
};

// One detection on the engine's port: the worker, the time limit counted in the window's
// timer ticks, and the identification on the window's thread once the worker has reported.
// Page 2/3, the main window's reconnect and the command-line tool all run it; each front end
// only renders what it reports.
class DetectionRun {
public:
    explicit DetectionRun(const EngineContext& engine) : engine_(engine) {}
    ~DetectionRun() { Stop(); }
    DetectionRun(const DetectionRun&) = delete;
    DetectionRun& operator=(const DetectionRun&) = delete;

    // Starts the worker, which posts its WM_USER+1 to `target`; the run gives up after
    // `limitTicks` ticks. False when the worker could not be created.
    bool Start(MessageTarget& target, std::uint32_t limitTicks);
    // One tick of the window's timer: true once the limit is reached, and from then on; the
    // worker is then asked to stop. The limit is counted here, not read off a progress widget.
    bool Tick();
    // The worker's WM_USER+1 with `result`: joins it and, when it synchronised, identifies the
    // device (engine.device, engine.firmwareVersion).
    DetectionOutcome Finish(DetectionResult result);

    // Asks the worker to stop after its current probe; it then reports Stopped.
    void RequestStop();
    // Asks the worker to stop and joins it; its target is released.
    void Stop();

    bool Started() const { return worker_.Joinable(); }  // started and not yet finished
    bool WorkerAlive() const { return alive_; }          // the worker's thread still runs

private:
    const EngineContext engine_;
    std::uint32_t limitTicks_ = 0;
    std::uint32_t ticks_ = 0;
    MessageTarget* target_ = nullptr;
    std::atomic<bool> alive_{false};
    WorkerThread worker_;
};
