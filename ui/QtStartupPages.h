#pragma once

#include "app/StartupPages.h"

// The start-up flow's windows as Qt dialogs, each run modally.
class QtStartupPages : public IStartupPages {
public:
    explicit QtStartupPages(IMessageBox& boxes) : boxes_(boxes) {}

    IMessageBox& Boxes() override { return boxes_; }
    void ShowSplash() override;
    ConfigurationOutcome ShowConfiguration() override;
    bool ShowAlert() override;
    bool ShowDetection() override;
    void ShowMainWindow() override;

private:
    IMessageBox& boxes_;
};
