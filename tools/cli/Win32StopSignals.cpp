#include <csignal>

#include "tools/cli/StopSignalHandler.h"
#include "tools/cli/StopSignals.h"

// The C runtime turns Ctrl+C into SIGINT; SIGTERM only comes from raise() on Windows, but is
// taken the same way. The runtime resets a handler once it has run: a second Ctrl+C ends the
// tool at once, as a console user expects.
// Nothing to note: the runtime's own second Ctrl+C ends the tool at once.
void NoteStopPorts(const std::vector<std::string>&) {}

void InstallStopSignals() {
    std::signal(SIGINT, RememberStopSignal);
    std::signal(SIGTERM, RememberStopSignal);
}
