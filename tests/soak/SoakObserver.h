#pragma once

#include <string>
#include <utility>

#include "common/WindowMessages.h"
#include "control/SessionEvents.h"

// An observer that keeps only the session's last log line, so that a long run measures the
// session and not a growing record of it. Every message box counts as a failure of the cycle.
class SoakObserver : public ISessionObserver {
public:
    void OnLogLine(const std::string& message, bool ok) override;
    void OnChanged(SessionChange) override {}
    BoxAnswer OnBox(const SessionBox& box) override;

    MessageQueue queue;
    std::pair<std::string, std::string> lastLine;
    int boxes = 0;
};
