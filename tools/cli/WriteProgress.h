#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "control/ProgrammingControl.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/EventLoop.h"

// How many rows a block's write sends, where they start, and how many bytes go over the line
// for each.
struct BlockLoad {
    std::size_t rows = 0;
    std::vector<std::uint32_t> addresses;
    std::size_t bytesPerRow = 0;
};

// Follows a write: a progress bar per block on a terminal (rows sent of rows to send,
// bytes per second, time left), plain lines otherwise; and what the write came to. A failed
// block's box is followed by its cause: the row on the line and what became of it.
class WriteProgress : public LoopObserver {
public:
    WriteProgress(ConsoleOutput& output, const CProgrammingControl& control,
                  const std::array<BlockLoad, 3>& loads, ConsoleMessageBox& boxes, unsigned baud);

    void BeforeDispatch(const WindowMessage& message) override;
    void AfterTick() override {}

    std::optional<std::intptr_t> finishStatus;  // wParam of the write's end

private:
    void StartBlock(int block);
    void Show();
    void FinishBlock(BlockResult result);
    void ExplainFailure(BlockResult result);

    ConsoleOutput& output_;
    const CProgrammingControl& control_;
    ConsoleMessageBox& boxes_;
    unsigned baud_;
    std::array<BlockLoad, 3> loads_;
    int block_ = -1;
    std::size_t sent_ = 0;
    std::size_t lastTenth_ = 0;
    std::chrono::steady_clock::time_point started_;  // when the block was asked for
};
