#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "control/Clock.h"
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
    // With a refused catalogue lookup: the catalogue's own words for what it refused.
    std::string catalogueCause;

    bool Identified() const { return identification == IdentifyResult::Identified; }
};

// One detection on the engine's port: the worker, its time limit counted on a clock, and the
// identification on the caller's thread once the worker has reported. Page 2/3 and the
// programming session both run it; each front end only renders what it reports.
class DetectionRun {
public:
    explicit DetectionRun(const EngineContext& engine, const IClock& clock = SteadyClock())
        : engine_(engine), clock_(clock) {}
    ~DetectionRun() { Stop(); }
    DetectionRun(const DetectionRun&) = delete;
    DetectionRun& operator=(const DetectionRun&) = delete;

    // Starts the worker, which posts its WM_USER+1 to `target`; the run gives up
    // `limitSeconds` after now. The worker plays `reset` on the modem lines after its first
    // probe; none: the user resets the board. False when the worker could not be created.
    bool Start(MessageTarget& target, std::uint32_t limitSeconds,
               const bootproto::ResetSequence* reset = nullptr);
    // Looks at the clock, as a front end's timer does about once a second: true once the
    // limit is reached, and from then on; the worker is then asked to stop.
    bool Tick();
    // Whole seconds since the start, at most the limit.
    std::uint32_t SecondsWaited() const;
    std::uint32_t LimitSeconds() const { return limitSeconds_; }
    // The worker's WM_USER+1 with `result`: joins it and, when it synchronised, identifies the
    // device (engine.device, engine.firmwareVersion).
    DetectionOutcome Finish(DetectionResult result);

    // The catalogue the identification looks the device up in; none: it reads the catalogue
    // file in the engine's working path anew each time.
    void SetCatalogue(std::shared_ptr<const DeviceCatalogue> catalogue) {
        catalogue_ = std::move(catalogue);
    }

    // Asks the worker to stop after its current probe; it then reports Stopped.
    void RequestStop();
    // Asks the worker to stop and joins it; its target is released.
    void Stop();

    bool Started() const { return worker_.Joinable(); }  // started and not yet finished
    bool WorkerAlive() const { return alive_; }          // the worker's thread still runs

private:
    const EngineContext engine_;
    const IClock& clock_;
    std::shared_ptr<const DeviceCatalogue> catalogue_;
    std::uint32_t limitSeconds_ = 0;
    IClock::TimePoint started_{};
    MessageTarget* target_ = nullptr;
    std::atomic<bool> alive_{false};
    WorkerThread worker_;
};
