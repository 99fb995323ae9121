#pragma once

#include <chrono>

#include "control/Clock.h"

// A clock that stands still until the test moves it.
class ManualClock : public IClock {
public:
    TimePoint Now() const override { return now_; }
    void Advance(std::chrono::milliseconds by) { now_ += by; }

private:
    TimePoint now_{std::chrono::hours(1)};
};
