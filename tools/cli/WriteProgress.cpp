#include "tools/cli/WriteProgress.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kBarWidth = 30;

std::string RowCount(std::size_t rows) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

const char* BlockName(int block) {
    return kMemoryBlocks[block].name;
}

}  // namespace

void WriteProgress::StartBlock(const ProgrammingSession& session) {
    block_ = session.CurrentBlock();
    const CMemoryImage& image = session.Image()->Image(block_);
    rows_ = session.Image()->Plan(block_).rows.rows.size();
    bytesPerRow_ = static_cast<std::size_t>(2 * RowUnits(image) + 6 + 1);
    sent_ = 0;
    lastTenth_ = 0;
    if (!output_.ErrIsTerminal()) {
        output_.Note(std::string(BlockName(block_)) + ": " + RowCount(rows_) + " to send");
    }
}

void WriteProgress::OnRow(const ProgrammingSession& session) {
    if (!IsBlockIndex(session.CurrentBlock()) || !session.Image()) return;
    if (session.CurrentBlock() != block_) StartBlock(session);
    sent_ = session.RowsSent();
    Show();
}

void WriteProgress::Show() {
    const std::size_t total = rows_ == 0 ? 1 : rows_;
    if (!output_.ErrIsTerminal()) {
        const std::size_t tenth = sent_ * 10 / total;
        if (tenth > lastTenth_ && sent_ < rows_) {
            lastTenth_ = tenth;
            output_.Note(std::string(BlockName(block_)) + ": " + std::to_string(sent_) + "/" +
                         std::to_string(rows_) + " rows");
        }
        return;
    }
    const double elapsed = Seconds(std::chrono::steady_clock::now() - started_);
    const double rate = elapsed > 0 ? static_cast<double>(sent_ * bytesPerRow_) / elapsed : 0;
    const double left = sent_ > 0 ? elapsed / static_cast<double>(sent_) *
                                        static_cast<double>(total - std::min(sent_, total))
                                  : 0;
    const int filled = static_cast<int>(std::min(sent_, total) * kBarWidth / total);
    char line[160];
    std::snprintf(line, sizeof line, "%-14s [%s%s] %zu/%zu rows  %.1f kB/s  %.0f s left",
                  BlockName(block_), std::string(static_cast<std::size_t>(filled), '#').c_str(),
                  std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), sent_,
                  rows_, rate / 1000.0, left);
    output_.Transient(line);
}

void WriteProgress::OnBlockDone(const ProgrammingSession& session) {
    const BlockOutcome& outcome = session.LastWrite().blocks.back();
    if (outcome.block != block_) StartBlock(session);
    const double elapsed = Seconds(std::chrono::steady_clock::now() - started_);
    char line[160];
    std::snprintf(line, sizeof line, "%s: %zu/%zu rows, %zu bytes in %.2f s%s", BlockName(block_),
                  sent_, rows_, sent_ * bytesPerRow_, elapsed,
                  outcome.result == BlockResult::Ok ? "" : ", not completed");
    output_.Note(line);
    block_ = -1;
    started_ = std::chrono::steady_clock::now();
}
