#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/BootloaderApp.h"
#include "common/MessageBox.h"
#include "common/WindowMessages.h"
#include "control/ProgrammingWindow.h"
#include "tools/cli/ConsoleOutput.h"

// The programming window on a console: log lines are printed, status texts are shown as
// notes, the message boxes go to the console's box printer, and the window's messages
// queue up for the tool's event loop.
class ConsoleWindow : public IProgrammingWindow {
public:
    ConsoleWindow(ConsoleOutput& output, CBootloaderApp& app, IMessageBox& boxes);

    void AddLogLine(const std::string& message, const std::string& result) override;
    void UpdateControlStates() override;
    void ShowProgressGroup(bool show) override;
    void SetStatusLamp(int state) override;
    void ShowVersions() override;
    void UpdateBlockChecks() override;

    void SetStatusText(const std::string& text) override;
    void ShowStatusText(bool show) override;
    void ShowStatusLamp(bool show) override;
    void ShowProgressBar(bool show) override;
    // The console follows a write and a detection through their messages instead.
    void ShowProgress(const Progress&) override {}

    bool BlockCheckVisible(int block) const override;
    bool BlockChecked(int block) const override;
    void SetRangeLabel(int block, const std::string& text) override;
    void ShowBlockControls(int block) override;

    void RefreshCursor() override;
    void StartDetectionTimer() override { timerRunning_ = true; }
    void KillDetectionTimer() override { timerRunning_ = false; }
    IMessageBox& MessageBoxes() override { return boxes_; }
    MessageTarget& Target() override { return queue_; }

    // What the tool itself reads and sets.
    MessageQueue& Queue() { return queue_; }
    bool DetectionTimerRunning() const { return timerRunning_; }
    const std::string& FirmwareLabel() const { return firmware_; }
    const std::string& StatusText() const { return statusText_; }
    const std::string& RangeLabel(int block) const { return rangeLabels_.at(block); }
    void SetBlockChecked(int block, bool checked);

private:
    ConsoleOutput& output_;
    CBootloaderApp& app_;
    IMessageBox& boxes_;
    MessageQueue queue_;
    int logLines_ = 0;
    std::string statusText_;
    std::string firmware_;
    bool timerRunning_ = false;
    std::array<bool, 3> visible_{};
    std::array<bool, 3> checked_{};
    std::array<std::string, 3> rangeLabels_{};
};
