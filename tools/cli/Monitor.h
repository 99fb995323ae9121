#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/PortName.h"

struct MonitorOptions {
    bool hex = false;
    bool timestamps = false;
    std::optional<std::chrono::milliseconds> duration;  // --for; none: until stopped
    bool send = false;                                  // lines typed go to the board
    std::string lineEnd = "\r";                         // sent after each line typed
};

// Shows what the board on `port` sends, at `baud`, on the output's stdout; ends on SIGINT
// or SIGTERM, on Ctrl-] typed on a terminal, once `duration` has passed, or when the port
// goes away (said on stderr). The port is opened here and closed at the end, so that the
// monitor can follow a command that has just closed it. Returns the tool's exit status: 0
// when stopped or timed out, kExitPortNotOpened, or kExitWriteFailed when the port went away
// or a line typed could not be sent.
int RunMonitor(const PortName& port, unsigned baud, const MonitorOptions& options,
               ConsoleOutput& output);
