#include "tools/cli/StopSignals.h"

#include <csignal>

#include "tools/cli/StopSignalHandler.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile std::sig_atomic_t interruptEndsBatch = 0;

}  // namespace

extern "C" void RememberStopSignal(int signal) {
    if (stopSignal == 0) stopSignal = signal;
}

void LetInterruptEndTheBatch() {
    interruptEndsBatch = 1;
}

int StopSignal() {
    return interruptEndsBatch != 0 && stopSignal == SIGINT ? 0 : stopSignal;
}

int ArrivedStopSignal() {
    return stopSignal;
}

const char* StopSignalName(int signal) {
    switch (signal) {
        case SIGTERM:
            return "SIGTERM";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP";
#endif
#ifdef SIGPIPE
        case SIGPIPE:
            return "SIGPIPE";
#endif
        default:
            return "SIGINT";
    }
}
