#include "protocol/TimerResolution.h"

namespace platform {

// Linux has no coarse system tick to raise: sleeps and poll time-outs already run on
// high-resolution timers, so both calls have nothing to do.
void RaiseTimerResolution(unsigned) {}
void RestoreTimerResolution(unsigned) {}

}  // namespace platform
