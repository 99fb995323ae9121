#pragma once

#include <memory>
#include <string>

#include "app/BootloaderApp.h"
#include "common/WindowMessages.h"
#include "control/ProgrammingSession.h"
#include "tools/cli/CliObserver.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/PortName.h"

// One board of the tool: a programming session on the engine state of `app` (the
// application's own, or one of its own for each board of a write to several), from the
// detection to the end of the command, and the loop that hands the session its workers'
// messages and its timer. The port is closed when it ends. When the output has a trace, every
// byte of the board's exchanges goes to it.
class BoardSession {
public:
    // `catalogue`: the one the command read for all its boards; none: the board reads the
    // catalogue of its working path when it connects.
    BoardSession(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                 std::shared_ptr<const DeviceCatalogue> catalogue = nullptr);
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // Sets the working path and the port, opens it, detects and identifies the device; an exit
    // status, with Reason() set when it is not 0.
    int Connect();
    // Runs the session's loop until it is no longer busy; a stop signal stops a write after the
    // row on the line and a detection after its probe.
    void WaitWhileBusy();
    // An exit status for a stop signal that arrived, 0 when none did; says where it stopped.
    int Stopped(const std::string& where);

    ProgrammingSession& Session() { return session_; }
    CBootloaderApp& App() { return app_; }
    ConsoleOutput& Output() { return output_; }
    const PortName& Port() const { return port_; }

    // Why the board failed, in the user's terms, for the table of a write to several boards.
    const std::string& Reason() const { return reason_; }
    // Prints "pelorant-cli: <what>" and, when given, the cause line; the cause (else `what`)
    // becomes the reason. Returns `status`.
    int Fail(int status, const std::string& what, const std::string& cause = {});
    // The reason of a failure that was printed already (by a box and its cause line).
    int Because(int status, const std::string& reason);

private:
    int Configure();

    const CliOptions& options_;
    ConsoleOutput& output_;
    CBootloaderApp& app_;
    PortName port_;
    std::string reason_;
    std::shared_ptr<const DeviceCatalogue> catalogue_;
    MessageQueue queue_;
    CliObserver observer_;
    std::unique_ptr<bootproto::LineTrace> trace_;
    ProgrammingSession session_;
};
