#pragma once

#include <memory>
#include <string>

#include "control/ProgrammingControl.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/ConsoleWindow.h"
#include "tools/cli/PortName.h"

// One board session of the tool: the console window and the programming control on the
// engine state of `app` (the application's own, or one of its own for each board of a write
// to several), from detection to the end of the command. The port is closed when the session
// ends. When the output has a trace, every byte of the board's exchanges goes to it.
class Session {
public:
    Session(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app = theApp());
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Sets the working path and the port, opens it, detects and identifies the device;
    // an exit status.
    int Connect();

    CProgrammingControl& Control() { return control_; }
    ConsoleWindow& Window() { return window_; }
    CBootloaderApp& App() { return app_; }
    ConsoleOutput& Output() { return output_; }
    ConsoleMessageBox& Boxes() { return boxes_; }

private:
    int Configure();
    int ReportFailedDetection(DetectionResult result);
    std::string IdentificationFailure(const std::string& identifier) const;

    const CliOptions& options_;
    ConsoleOutput& output_;
    CBootloaderApp& app_;
    PortName port_;
    ConsoleMessageBox boxes_;
    ConsoleWindow window_;
    std::unique_ptr<bootproto::LineTrace> trace_;
    CProgrammingControl control_;
};
