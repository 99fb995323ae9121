#include "tools/cli/NextBatchWait.h"

#include <chrono>
#include <thread>

#include "tools/cli/PortName.h"
#include "tools/cli/StopSignals.h"

namespace {

constexpr std::chrono::milliseconds kLook{100};
// A port that came back is opened only after this: its adapter's driver and the system's
// rules for its device node settle first.
constexpr std::chrono::milliseconds kSettle{500};

std::string PortList(const std::vector<std::string>& ports) {
    std::string text;
    for (const std::string& port : ports) text += (text.empty() ? "" : ", ") + port;
    return text;
}

}  // namespace

NextBatchWait::NextBatchWait(NextBatch how, std::vector<std::string> ports)
    : how_(how), ports_(std::move(ports)), input_(how == NextBatch::Line) {}

bool NextBatchWait::Wait(std::size_t batch, ConsoleOutput& output) {
    const std::string next = "batch " + std::to_string(batch);
    if (how_ == NextBatch::Replug) {
        output.Note("unplug the boards and plug in the next ones for " + next + ": " +
                    PortList(ports_) + " (Ctrl-C ends)");
        return WaitForReplug();
    }
    if (lines_.empty()) {
        output.Note(input_.IsTerminal()
                        ? "press Enter for " + next + " (Ctrl-D or Ctrl-C ends)"
                        : next + " starts with the next line on standard input (its end ends)");
    }
    return WaitForLine();
}

bool NextBatchWait::WaitForLine() {
    for (;;) {
        if (ArrivedStopSignal() != 0) return false;
        std::vector<std::string> typed;
        if (!input_.Take(typed)) return false;
        lines_.insert(lines_.end(), typed.begin(), typed.end());
        if (!lines_.empty()) {
            lines_.pop_front();
            return true;
        }
        if (input_.Ended()) return false;
        std::this_thread::sleep_for(kLook);
    }
}

bool NextBatchWait::WaitForReplug() {
    std::vector<bool> gone(ports_.size(), false);
    std::vector<bool> back(ports_.size(), false);
    for (;;) {
        if (ArrivedStopSignal() != 0) return false;
        bool everyBack = true;
        for (std::size_t i = 0; i < ports_.size(); ++i) {
            const bool present = PortPresent(ports_[i]);
            if (!present) gone[i] = true;
            if (gone[i] && present) back[i] = true;
            everyBack = everyBack && back[i];
        }
        if (everyBack) break;
        std::this_thread::sleep_for(kLook);
    }
    std::this_thread::sleep_for(kSettle);
    return ArrivedStopSignal() == 0;
}
