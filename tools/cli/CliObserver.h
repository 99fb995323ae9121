#pragma once

#include <string>

#include "control/ProgrammingSession.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/WriteProgress.h"

// What a board's session tells the console: log lines on stdout, status texts as notes,
// boxes with their cause on stderr, the detection's wait and a write's progress.
class CliObserver : public ISessionObserver {
public:
    CliObserver(ConsoleOutput& output, bool proceedOnError)
        : output_(output), proceedOnError_(proceedOnError), progress_(output) {}

    // The session whose state the changes are read from.
    void Follow(const ProgrammingSession& session) { session_ = &session; }

    void OnLogLine(const std::string& message, bool ok) override;
    void OnChanged(SessionChange change) override;
    BoxAnswer OnBox(const SessionBox& box) override;

private:
    ConsoleOutput& output_;
    bool proceedOnError_;
    WriteProgress progress_;
    const ProgrammingSession* session_ = nullptr;
    int logLines_ = 0;
    std::string statusText_;
};
