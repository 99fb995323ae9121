#pragma once

#include <string>
#include <utility>

#include "app/StartupPages.h"

class CBootloaderApp;

// The start-up flow's windows as Qt dialogs, each run modally.
class QtStartupPages : public IStartupPages {
public:
    // The main window loads `fileToOpen`, when given, as soon as it is shown.
    QtStartupPages(CBootloaderApp& app, IMessageBox& boxes, std::string fileToOpen = {})
        : app_(app), boxes_(boxes), fileToOpen_(std::move(fileToOpen)) {}

    IMessageBox& Boxes() override { return boxes_; }
    void ShowSplash() override;
    ConfigurationOutcome ShowConfiguration() override;
    bool ShowAlert() override;
    bool ShowDetection() override;
    void ShowMainWindow() override;

private:
    CBootloaderApp& app_;
    IMessageBox& boxes_;
    std::string fileToOpen_;
};
