#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "common/MessageBox.h"
#include "common/WindowMessages.h"
#include "control/ProgrammingWindow.h"

struct ShownBox {
    std::string text;
    std::string caption;
    BoxIcon icon;
    BoxButtons buttons;
    int lamp;  // the lamp's state while the box was up
};

// A window that records every call the control makes and keeps the state those calls
// set. Its progress bar keeps the position inside the range, as a real bar does; its
// message boxes answer questions from a queue (No when it is empty).
class FakeWindow : public IProgrammingWindow, public IMessageBox {
public:
    void AddLogLine(const std::string& message, const std::string& result) override;
    void UpdateControlStates() override { calls.push_back("UpdateControlStates"); }
    void ShowProgressGroup(bool show) override;
    void SetStatusLamp(int state) override;
    void ShowVersions() override;
    void UpdateBlockChecks() override;

    void SetStatusText(const std::string& text) override;
    void ShowStatusText(bool show) override { statusVisible = show; }
    void ShowStatusLamp(bool show) override { lampVisible = show; }
    void ShowProgressBar(bool show) override { barVisible = show; }
    void ShowProgress(const Progress& progress) override;

    bool BlockCheckVisible(int block) const override { return visible.at(block); }
    bool BlockChecked(int block) const override { return checked.at(block); }
    void SetRangeLabel(int block, const std::string& text) override { ranges.at(block) = text; }
    void ShowBlockControls(int block) override { visible.at(block) = true; }

    void RefreshCursor() override { calls.push_back("RefreshCursor"); }
    void StartDetectionTimer() override { timerRunning = true; }
    void KillDetectionTimer() override { timerRunning = false; }
    IMessageBox& MessageBoxes() override { return *this; }
    MessageTarget& Target() override { return queue; }

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;

    std::vector<std::string> calls;
    std::vector<std::pair<std::string, std::string>> log;
    std::vector<std::string> statusTexts;
    std::vector<ShownBox> boxes;
    std::deque<BoxAnswer> answers;
    MessageQueue queue;

    std::string status;
    int lamp = -1;
    bool statusVisible = false;
    bool lampVisible = false;
    bool barVisible = false;
    std::uint32_t barLow = 0;
    std::uint32_t barHigh = 100;
    std::uint32_t barPosition = 0;
    std::uint32_t barStep = 10;
    std::array<bool, 3> visible{};
    std::array<bool, 3> checked{};
    std::array<std::string, 3> ranges{};
    std::string deviceName;
    bool timerRunning = false;
};
