#pragma once

#include <deque>
#include <string>
#include <vector>

#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/MonitorInput.h"
#include "tools/cli/ProductionOptions.h"

// What a repeated write waits for between batches: a line on standard input (Enter on a
// terminal; lines that came early start the batches after), or every port going away and
// coming back. A stop signal ends the wait.
class NextBatchWait {
public:
    NextBatchWait(NextBatch how, std::vector<std::string> ports);

    // Says what starts batch `batch` and waits for it; false when the run ends instead: the
    // input ended, Ctrl-] was typed, or a stop signal came.
    bool Wait(std::size_t batch, ConsoleOutput& output);

private:
    bool WaitForLine();
    bool WaitForReplug();

    NextBatch how_;
    std::vector<std::string> ports_;
    MonitorInput input_;
    std::deque<std::string> lines_;
};
