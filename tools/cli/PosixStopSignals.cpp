#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <initializer_list>

#include "serial/PortLock.h"
#include "tools/cli/StopSignalHandler.h"
#include "tools/cli/StopSignals.h"

namespace {

void Say(const char* text) {
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    static_cast<void>(ignored);
}

// The first stop signal is kept for the event loop, which lets the row on the line finish. A
// second SIGINT or SIGTERM means the user will not wait for it (a board that takes no more
// bytes holds that row for seconds): every port is given up here and now, and the tool ends.
extern "C" void StopOrGiveUp(int signal) {
    if (ArrivedStopSignal() == 0 || (signal != SIGINT && signal != SIGTERM)) {
        RememberStopSignal(signal);
        return;
    }
    lunvik::posix::AbandonEveryPort();
    Say("\npelorant-cli: ");
    Say(StopSignalName(signal));
    Say(" again: the row on the line is given up, its bytes still queued are discarded, the "
        "port is closed and its lock removed\n");
    ::_exit(128 + signal);
}

}  // namespace

void NoteStopPorts(const std::vector<std::string>& devicePaths) {
    lunvik::posix::NoteLocksToAbandon(devicePaths);
}

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = StopOrGiveUp;
    sigemptyset(&action.sa_mask);
    // A closed terminal (SIGHUP) or a reader of stdout that went away (SIGPIPE, as with
    // "| head -1") ends a write like SIGTERM, after the row on the line, instead of killing the
    // tool in the middle of a row with its lock left behind.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}
