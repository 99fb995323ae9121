#include <signal.h>

#include <csignal>
#include <initializer_list>

#include "tools/cli/StopSignalHandler.h"
#include "tools/cli/StopSignals.h"

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = RememberStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}
