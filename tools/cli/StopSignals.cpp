#include "tools/cli/StopSignals.h"

#include <atomic>
#include <csignal>

#include "tools/cli/StopSignalHandler.h"

namespace {

// Set by the signal handler and read by every board's thread: a lock-free atomic is safe in a
// handler and, unlike a volatile flag, between threads.
std::atomic<int> stopSignal{0};
std::atomic<bool> interruptEndsBatch{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

}  // namespace

extern "C" void RememberStopSignal(int signal) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
}

void LetInterruptEndTheBatch() {
    interruptEndsBatch = true;
}

int StopSignal() {
    const int signal = stopSignal;
    return interruptEndsBatch && signal == SIGINT ? 0 : signal;
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
