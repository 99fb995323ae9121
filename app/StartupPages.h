#pragma once

#include <string>

#include "common/MessageBox.h"

// What the configuration page (1/3) reports: whether it ended with OK, which means the port
// is open, the texts of its port and baud-rate lists as confirmed, and the board's reset as
// the setting "reset" holds it.
struct ConfigurationOutcome {
    bool confirmed = false;
    std::string comText;
    std::string baudText;
    std::string resetText;
};

// The windows the start-up flow shows, one after another, each modal. The desktop program
// implements them with Qt; the tests with fakes.
class IStartupPages {
public:
    virtual ~IStartupPages() = default;

    virtual IMessageBox& Boxes() = 0;
    // Returns when the splash has closed itself.
    virtual void ShowSplash() = 0;
    // Page 1/3: port and baud rate; opens the port.
    virtual ConfigurationOutcome ShowConfiguration() = 0;
    // The reminder to power the board off; true when "don't remember me again" was ticked and
    // confirmed with OK.
    virtual bool ShowAlert() = 0;
    // Page 2/3: true when the chip was detected and identified.
    virtual bool ShowDetection() = 0;
    // Page 3/3; returns when the main window has closed.
    virtual void ShowMainWindow() = 0;
};
