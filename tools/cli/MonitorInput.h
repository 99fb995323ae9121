#pragma once

#include <memory>
#include <string>
#include <vector>

// What the user types while the monitor runs, read without waiting. On a terminal lines keep
// their editing, and Ctrl-] ends the monitor at once (it ends the line being typed, so the
// monitor sees it without Enter); the terminal is restored when the input goes. Standard
// input that is not a terminal is read only when its lines are wanted. Each platform has its
// own file.
class MonitorInput {
public:
    explicit MonitorInput(bool wantLines);
    ~MonitorInput();
    MonitorInput(const MonitorInput&) = delete;
    MonitorInput& operator=(const MonitorInput&) = delete;

    bool IsTerminal() const { return terminal_; }
    // The lines completed since the last call, without their line ends; false once Ctrl-]
    // was typed.
    bool Take(std::vector<std::string>& lines);
    // Whether the input has ended (end of file, a pipe whose writer went).
    bool Ended() const { return !reading_; }

private:
    bool terminal_ = false;
    bool reading_ = false;
    std::string pending_;
    struct Saved;
    std::unique_ptr<Saved> saved_;  // the terminal's settings to restore
};

inline constexpr char kMonitorQuitKey = 0x1D;  // Ctrl-]
