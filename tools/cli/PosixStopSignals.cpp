#include <signal.h>

#include <csignal>
#include <initializer_list>

#include "tools/cli/StopSignals.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void RememberStopSignal(int signal) {
    if (stopSignal == 0) stopSignal = signal;
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = RememberStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

int StopSignal() {
    return stopSignal;
}

const char* StopSignalName(int signal) {
    return signal == SIGTERM ? "SIGTERM" : "SIGINT";
}
