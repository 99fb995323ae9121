#include "tools/cli/WriteProgress.h"

#include <cstdio>
#include <string>

#include "tools/cli/CauseLines.h"
#include "tools/cli/MemoryNames.h"

namespace {

constexpr int kBarWidth = 30;

std::string RowCount(std::size_t rows) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

}  // namespace

WriteProgress::WriteProgress(ConsoleOutput& output, const CProgrammingControl& control,
                             const std::array<BlockLoad, 3>& loads, ConsoleMessageBox& boxes,
                             unsigned baud)
    : output_(output),
      control_(control),
      boxes_(boxes),
      baud_(baud),
      loads_(loads),
      started_(std::chrono::steady_clock::now()) {}

void WriteProgress::BeforeDispatch(const WindowMessage& message) {
    if (message.message == kMsgWriteFinished) {
        finishStatus = message.wParam;
        return;
    }
    const int block = control_.CurrentBlock();
    if (block < kBlockCode || block > kBlockConfig) return;
    if (message.message == kMsgRowWritten) {
        if (block != block_) StartBlock(block);
        ++sent_;
        Show();
    } else if (message.message == kMsgBlockFinished) {
        if (block != block_) StartBlock(block);
        FinishBlock(control_.Job().result);
    }
}

void WriteProgress::StartBlock(int block) {
    block_ = block;
    sent_ = 0;
    lastTenth_ = 0;
    if (!output_.ErrIsTerminal()) {
        output_.Note(std::string(kMemoryNames[block]) + ": " + RowCount(loads_[block].rows) +
                     " to send");
    }
}

void WriteProgress::Show() {
    const BlockLoad& load = loads_[block_];
    const std::size_t total = load.rows == 0 ? 1 : load.rows;
    if (!output_.ErrIsTerminal()) {
        const std::size_t tenth = sent_ * 10 / total;
        if (tenth > lastTenth_ && sent_ < load.rows) {
            lastTenth_ = tenth;
            output_.Note(std::string(kMemoryNames[block_]) + ": " + std::to_string(sent_) + "/" +
                         std::to_string(load.rows) + " rows");
        }
        return;
    }
    const double elapsed = Seconds(std::chrono::steady_clock::now() - started_);
    const double rate = elapsed > 0 ? static_cast<double>(sent_ * load.bytesPerRow) / elapsed : 0;
    const double left = sent_ > 0 ? elapsed / static_cast<double>(sent_) *
                                        static_cast<double>(total - std::min(sent_, total))
                                  : 0;
    const int filled = static_cast<int>(std::min(sent_, total) * kBarWidth / total);
    char line[160];
    std::snprintf(line, sizeof line, "%-14s [%s%s] %zu/%zu rows  %.1f kB/s  %.0f s left",
                  kMemoryNames[block_], std::string(static_cast<std::size_t>(filled), '#').c_str(),
                  std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), sent_,
                  load.rows, rate / 1000.0, left);
    output_.Transient(line);
}

void WriteProgress::FinishBlock(BlockResult result) {
    const BlockLoad& load = loads_[block_];
    const double elapsed = Seconds(std::chrono::steady_clock::now() - started_);
    const std::size_t bytes = sent_ * load.bytesPerRow;
    char line[160];
    std::snprintf(line, sizeof line, "%s: %zu/%zu rows, %zu bytes in %.2f s%s",
                  kMemoryNames[block_], sent_, load.rows, bytes, elapsed,
                  result == BlockResult::Ok ? "" : ", not completed");
    output_.Note(line);
    if (result != BlockResult::Ok) ExplainFailure(result);
    block_ = -1;
    started_ = std::chrono::steady_clock::now();
}

// The failed row is the one after those the board acknowledged: the writer takes back the
// acknowledgement of a row that stray input put in doubt.
void WriteProgress::ExplainFailure(BlockResult result) {
    const BlockLoad& load = loads_[block_];
    BlockFailure failure;
    failure.code = result;
    failure.rowBytes = load.bytesPerRow;
    failure.baud = baud_;
    const std::size_t row = control_.Job().rowsAcknowledged.load();
    if (result != BlockResult::RowSizeInvalid && row < load.addresses.size()) {
        failure.row = load.addresses[row];
    }
    if (result == BlockResult::BadAck) failure.reply = control_.Job().refusal;
    boxes_.AddCause("write error", std::string(kMemoryNames[block_]) + ": " + BlockCause(failure));
}
