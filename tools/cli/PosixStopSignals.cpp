#include <signal.h>

#include <csignal>
#include <initializer_list>

#include "tools/cli/StopSignalHandler.h"
#include "tools/cli/StopSignals.h"

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = RememberStopSignal;
    sigemptyset(&action.sa_mask);
    // A closed terminal (SIGHUP) or a reader of stdout that went away (SIGPIPE, as with
    // "| head -1") ends a write like SIGTERM, after the row on the line, instead of killing the
    // tool in the middle of a row with its lock left behind.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}
