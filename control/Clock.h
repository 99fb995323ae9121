#pragma once

#include <chrono>

// Where the session reads the time: the steady clock, or a test's own that it moves by hand,
// so that a 44-second limit can be tested in no time.
class IClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() const = 0;
};

// The process's steady clock.
const IClock& SteadyClock();
