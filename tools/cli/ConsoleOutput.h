#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace bootproto {
class TraceSink;
}

// Where the tool's text goes: results and log lines on stdout, everything else on stderr.
// On a terminal, stderr may also hold one transient line (a progress bar) that is wiped
// before any other text is printed.
//
// A write to several boards gives each board a view of the tool's output: its lines are
// prefixed with its port, and on a terminal its transient line is its own line of a panel of
// one line per board, kept below everything else. Lines of different boards never mix.
class ConsoleOutput {
public:
    ConsoleOutput(std::FILE* out, std::FILE* err, bool quiet);
    // A board's view of `shared`, every line starting "<port>: "; `slot` is its panel line.
    ConsoleOutput(ConsoleOutput& shared, const std::string& port, std::size_t slot);
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    bool Quiet() const { return quiet_; }
    bool ErrIsTerminal() const { return errIsTerminal_; }

    void Result(const std::string& line);     // stdout, always
    void Log(const std::string& line);        // stdout, unless quiet
    void Note(const std::string& line);       // stderr, unless quiet
    void Error(const std::string& line);      // stderr, always
    void Transient(const std::string& text);  // stderr on a terminal, unless quiet

    // Reserves the panel's lines for `boards` boards (on a terminal), before any board writes.
    void ShowBoardPanel(std::size_t boards);
    // A line above the boards' (a batch's number and counts), on a terminal; empty: none.
    void SetPanelTitle(const std::string& text);
    // Wipes the panel; what is printed next stays.
    void CloseBoardPanel();

    // The line trace's destination, null when nothing is traced. A trace on stderr turns the
    // transient lines into plain ones, which would otherwise be torn by the trace's lines.
    void TraceTo(bootproto::TraceSink* sink, bool onStderr);
    bootproto::TraceSink* Trace() const { return trace_; }

private:
    void Write(std::FILE* stream, const std::string& line);
    void WriteShared(std::FILE* stream, const std::string& text);
    void SetPanelLine(std::size_t slot, const std::string& text);
    void DrawPanel();
    void WipePanel();
    std::size_t PanelHeight() const;

    std::FILE* out_;
    std::FILE* err_;
    bool quiet_;
    bool errIsTerminal_;
    bool transientShown_ = false;
    bootproto::TraceSink* trace_ = nullptr;

    // A board's view.
    ConsoleOutput* shared_ = nullptr;
    std::string prefix_;
    std::size_t slot_ = 0;

    // The shared output of several boards.
    std::mutex lock_;
    std::vector<std::string> panel_;
    std::string panelTitle_;
    bool panelDrawn_ = false;
    std::size_t width_ = 80;
};
