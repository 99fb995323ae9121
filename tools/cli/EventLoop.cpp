#include "tools/cli/EventLoop.h"

#include <algorithm>

void RunWhileBusy(CProgrammingControl& control, ConsoleWindow& window, LoopObserver& observer) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextTick = Clock::now() + kDetectionTimerPeriod;
    while (control.m_busy) {
        const bool timing = window.DetectionTimerRunning();
        const auto wait = timing ? std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                nextTick - Clock::now()),
                                            std::chrono::milliseconds(0))
                                 : kDetectionTimerPeriod;
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
