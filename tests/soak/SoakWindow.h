#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "common/MessageBox.h"
#include "common/WindowMessages.h"
#include "control/ProgrammingWindow.h"

// A programming window that keeps only its current state, so that a long run measures the
// programming control and not a growing record of it. Every block the file fills is ticked;
// every message box counts as a failure of the cycle.
class SoakWindow : public IProgrammingWindow, public IMessageBox {
public:
    void AddLogLine(const std::string& message, const std::string& result) override;
    void UpdateControlStates() override {}
    void ShowProgressGroup(bool) override {}
    void SetStatusLamp(int) override {}
    void ShowVersions() override {}
    void UpdateBlockChecks() override;

    void SetStatusText(const std::string&) override {}
    void ShowStatusText(bool) override {}
    void ShowStatusLamp(bool) override {}
    void ShowProgressBar(bool) override {}
    void ShowProgress(const Progress&) override {}

    bool BlockCheckVisible(int block) const override { return visible_.at(block); }
    bool BlockChecked(int block) const override { return checked_.at(block); }
    void SetRangeLabel(int, const std::string&) override {}
    void ShowBlockControls(int block) override { visible_.at(block) = true; }

    void RefreshCursor() override {}
    void StartDetectionTimer() override {}
    void KillDetectionTimer() override {}
    IMessageBox& MessageBoxes() override { return *this; }
    MessageTarget& Target() override { return queue; }

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;

    MessageQueue queue;
    std::pair<std::string, std::string> lastLine;
    int boxes = 0;

private:
    std::array<bool, 3> visible_{};
    std::array<bool, 3> checked_{};
};
