#pragma once

#include <chrono>
#include <cstddef>

#include "control/ProgrammingSession.h"
#include "tools/cli/ConsoleOutput.h"

// Follows a session's write: a progress bar per block on a terminal (rows sent of rows to
// send, bytes per second, time left), plain lines otherwise, and each block's summary.
class WriteProgress {
public:
    explicit WriteProgress(ConsoleOutput& output) : output_(output) {}

    // A row of the session's current block went out.
    void OnRow(const ProgrammingSession& session);
    // The session's last block ended.
    void OnBlockDone(const ProgrammingSession& session);

private:
    void StartBlock(const ProgrammingSession& session);
    void Show();

    ConsoleOutput& output_;
    int block_ = -1;
    std::size_t rows_ = 0;         // to send in this block
    std::size_t bytesPerRow_ = 0;  // on the wire
    std::size_t sent_ = 0;
    std::size_t lastTenth_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};
