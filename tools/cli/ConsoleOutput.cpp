#include "tools/cli/ConsoleOutput.h"

#include <unistd.h>

#include "tools/cli/TerminalWidth.h"

namespace {

// Each line of `text` with `prefix` in front.
std::string Prefixed(const std::string& prefix, const std::string& text) {
    std::string result;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find('\n', begin);
        result += prefix + text.substr(begin, end - begin);
        if (end == std::string::npos) return result;
        result += '\n';
        begin = end + 1;
    }
}

}  // namespace

ConsoleOutput::ConsoleOutput(std::FILE* out, std::FILE* err, bool quiet)
    : out_(out), err_(err), quiet_(quiet), errIsTerminal_(isatty(fileno(err)) == 1) {}

ConsoleOutput::ConsoleOutput(ConsoleOutput& shared, const std::string& port, std::size_t slot)
    : out_(shared.out_),
      err_(shared.err_),
      quiet_(shared.quiet_),
      errIsTerminal_(shared.errIsTerminal_),
      trace_(shared.trace_),
      shared_(&shared),
      prefix_(port + ": "),
      slot_(slot) {}

void ConsoleOutput::Result(const std::string& line) {
    Write(out_, line);
}

void ConsoleOutput::Log(const std::string& line) {
    if (!quiet_) Write(out_, line);
}

void ConsoleOutput::Note(const std::string& line) {
    if (!quiet_) Write(err_, line);
}

void ConsoleOutput::Error(const std::string& line) {
    Write(err_, line);
}

void ConsoleOutput::Transient(const std::string& text) {
    if (quiet_ || !errIsTerminal_) return;
    if (shared_ != nullptr) {
        shared_->SetPanelLine(slot_, prefix_ + text);
        return;
    }
    std::fprintf(err_, "\r%s\033[K", text.c_str());
    std::fflush(err_);
    transientShown_ = true;
}

void ConsoleOutput::TraceTo(bootproto::TraceSink* sink, bool onStderr) {
    trace_ = sink;
    if (sink != nullptr && onStderr) errIsTerminal_ = false;
}

void ConsoleOutput::Write(std::FILE* stream, const std::string& line) {
    if (shared_ != nullptr) {
        shared_->WriteShared(stream, Prefixed(prefix_, line));
        return;
    }
    if (transientShown_) {
        std::fputs("\r\033[K", err_);
        std::fflush(err_);
        transientShown_ = false;
    }
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}

void ConsoleOutput::WriteShared(std::FILE* stream, const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    WipePanel();
    std::fprintf(stream, "%s\n", text.c_str());
    std::fflush(stream);
    DrawPanel();
}

void ConsoleOutput::ShowBoardPanel(std::size_t boards) {
    if (quiet_ || !errIsTerminal_) return;
    std::lock_guard<std::mutex> guard(lock_);
    panel_.assign(boards, std::string());
    if (const std::size_t columns = TerminalColumns(err_); columns > 1) width_ = columns;
}

void ConsoleOutput::SetPanelTitle(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (panel_.empty()) return;
    WipePanel();
    panelTitle_ = text.substr(0, width_ - 1);
    DrawPanel();
}

void ConsoleOutput::CloseBoardPanel() {
    std::lock_guard<std::mutex> guard(lock_);
    WipePanel();
    panel_.clear();
    panelTitle_.clear();
}

std::size_t ConsoleOutput::PanelHeight() const {
    return panel_.size() + (panelTitle_.empty() ? 0 : 1);
}

void ConsoleOutput::SetPanelLine(std::size_t slot, const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (slot >= panel_.size()) return;
    // A line wider than the terminal would wrap and leave the panel's height unknown.
    panel_[slot] = text.substr(0, width_ - 1);
    WipePanel();
    DrawPanel();
}

// The panel sits below everything else: drawn, the cursor is on the line after it.
void ConsoleOutput::DrawPanel() {
    if (panel_.empty() || panelDrawn_) return;
    if (!panelTitle_.empty()) std::fprintf(err_, "\r%s\033[K\n", panelTitle_.c_str());
    for (const std::string& line : panel_) std::fprintf(err_, "\r%s\033[K\n", line.c_str());
    std::fflush(err_);
    panelDrawn_ = true;
}

void ConsoleOutput::WipePanel() {
    if (!panelDrawn_) return;
    std::fprintf(err_, "\033[%zuA\r\033[J", PanelHeight());
    std::fflush(err_);
    panelDrawn_ = false;
}
