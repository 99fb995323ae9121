#pragma once

#include <chrono>

#include "common/WindowMessages.h"
#include "control/ProgrammingControl.h"
#include "tools/cli/ConsoleWindow.h"

inline constexpr std::chrono::milliseconds kDetectionTimerPeriod{1000};

// Sees each window message before the control handles it, and each timer tick after it.
class LoopObserver {
public:
    virtual ~LoopObserver() = default;
    virtual void BeforeDispatch(const WindowMessage& message) = 0;
    virtual void AfterTick() = 0;
};

// The tool's message loop: hands the window's messages to the control and runs the
// detection timer while it is started, until the control is no longer busy.
void RunWhileBusy(CProgrammingControl& control, ConsoleWindow& window, LoopObserver& observer);
