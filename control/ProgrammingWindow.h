#pragma once

#include <cstdint>
#include <string>

#include "common/MessageBox.h"
#include "common/WindowMessages.h"
#include "control/Progress.h"

// Block indices, in the fixed write order.
inline constexpr int kBlockCode = 0;
inline constexpr int kBlockEeprom = 1;
inline constexpr int kBlockConfig = 2;

// Status lamp states.
inline constexpr int kLampRed = 0;
inline constexpr int kLampGrey = 1;
inline constexpr int kLampGreen = 2;

// What the programming control needs of the main window. The Qt window, the
// command-line tool and the tests each implement it; all calls come on one thread.
class IProgrammingWindow {
public:
    virtual ~IProgrammingWindow() = default;

    // The window's own operations.
    virtual void AddLogLine(const std::string& message, const std::string& result) = 0;
    virtual void UpdateControlStates() = 0;  // renders the control's Commands()
    virtual void ShowProgressGroup(bool show) = 0;
    virtual void SetStatusLamp(int state) = 0;
    virtual void ShowVersions() = 0;
    virtual void UpdateBlockChecks() = 0;

    // Status text (1019), lamp (1020) and progress bar (1014).
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void ShowStatusText(bool show) = 0;
    virtual void ShowStatusLamp(bool show) = 0;
    virtual void ShowProgressBar(bool show) = 0;
    virtual void ShowProgress(const Progress& progress) = 0;  // the control's bar, to render

    // Block check boxes (1006-1008) and range labels (1026-1028).
    virtual bool BlockCheckVisible(int block) const = 0;
    virtual bool BlockChecked(int block) const = 0;
    virtual void SetRangeLabel(int block, const std::string& text) = 0;
    virtual void ShowBlockControls(int block) = 0;  // shows the range label and the check box

    virtual void RefreshCursor() = 0;        // wait cursor while busy
    virtual void StartDetectionTimer() = 0;  // timer 1, every 1000 ms
    virtual void KillDetectionTimer() = 0;
    virtual IMessageBox& MessageBoxes() = 0;
    virtual MessageTarget& Target() = 0;  // where the workers post this window's messages
};
