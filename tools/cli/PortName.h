#pragma once

#include <string>

// A port as the user names it: "COMn" (through the serial library's port directory) or a
// device path.
struct PortName {
    int comNumber = 0;       // n of COMn, 0 for a device path
    std::string devicePath;  // the path given, empty for COMn
    std::string text;        // as the user wrote it
};

// False when the text names no port at all (empty, or COM with a number below 1).
bool ParsePortName(const std::string& text, PortName& port);

// Why a port that failed to open cannot be used, in terms a user can act on.
std::string DiagnoseOpenFailure(const PortName& port, unsigned baud);
