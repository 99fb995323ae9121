#include <csignal>

#include "tools/cli/StopSignals.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void RememberStopSignal(int signal) {
    if (stopSignal == 0) stopSignal = signal;
}

}  // namespace

// The C runtime turns Ctrl+C into SIGINT; SIGTERM only comes from raise() on Windows, but is
// taken the same way. The runtime resets a handler once it has run: a second Ctrl+C ends the
// tool at once, as a console user expects.
void InstallStopSignals() {
    std::signal(SIGINT, RememberStopSignal);
    std::signal(SIGTERM, RememberStopSignal);
}

int StopSignal() {
    return stopSignal;
}

const char* StopSignalName(int signal) {
    return signal == SIGTERM ? "SIGTERM" : "SIGINT";
}
