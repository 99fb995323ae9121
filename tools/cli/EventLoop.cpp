#include "tools/cli/EventLoop.h"

#include <algorithm>

#include "tools/cli/StopSignals.h"

namespace {

// How soon a stop signal is seen while nothing else happens.
constexpr std::chrono::milliseconds kSignalLook{100};

void ActOnStopSignal(CProgrammingControl& control, bool& acted) {
    if (acted || StopSignal() == 0) return;
    acted = true;
    if (control.WriteRunning()) {
        control.StopWriteAfterRow();
    } else {
        control.RequestDetectionStop();
    }
}

}  // namespace

void RunWhileBusy(CProgrammingControl& control, ConsoleWindow& window, LoopObserver& observer) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextTick = Clock::now() + kDetectionTimerPeriod;
    bool stopRequested = false;
    while (control.Busy()) {
        ActOnStopSignal(control, stopRequested);
        if (!control.Busy()) break;
        const bool timing = window.DetectionTimerRunning();
        const auto untilTick = timing
                                   ? std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  nextTick - Clock::now()),
                                              std::chrono::milliseconds(0))
                                   : kDetectionTimerPeriod;
        const auto wait = std::min(untilTick, kSignalLook);
        if (const auto message = window.Queue().Wait(wait)) {
            observer.BeforeDispatch(*message);
            control.Dispatch(*message);
            continue;
        }
        if (!timing) {
            nextTick = Clock::now() + kDetectionTimerPeriod;
            continue;
        }
        if (Clock::now() >= nextTick) {
            nextTick += kDetectionTimerPeriod;
            control.OnDetectionTimer();
            observer.AfterTick();
        }
    }
}
