#include "control/Clock.h"

namespace {

class Steady : public IClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace

const IClock& SteadyClock() {
    static const Steady clock;
    return clock;
}
