#pragma once

#include "app/StartupPages.h"

class CBootloaderApp;

// The start-up flow's windows as Qt dialogs, each run modally.
class QtStartupPages : public IStartupPages {
public:
    QtStartupPages(CBootloaderApp& app, IMessageBox& boxes) : app_(app), boxes_(boxes) {}

    IMessageBox& Boxes() override { return boxes_; }
    void ShowSplash() override;
    ConfigurationOutcome ShowConfiguration() override;
    bool ShowAlert() override;
    bool ShowDetection() override;
    void ShowMainWindow() override;

private:
    CBootloaderApp& app_;
    IMessageBox& boxes_;
};
