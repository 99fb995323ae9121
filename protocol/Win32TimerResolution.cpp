// windows.h first: the other Win32 headers build on its types.
// clang-format off
#include <windows.h>
#include <timeapi.h>
// clang-format on

#include "protocol/TimerResolution.h"

namespace platform {

// The system tick is 15.6 ms unless someone asks for finer: the probe loop's short sleeps and
// the port's few-millisecond read time-outs need it.
void RaiseTimerResolution(unsigned milliseconds) {
    timeBeginPeriod(milliseconds);
}

void RestoreTimerResolution(unsigned milliseconds) {
    timeEndPeriod(milliseconds);
}

}  // namespace platform
