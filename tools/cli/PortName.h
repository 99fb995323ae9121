#pragma once

#include <string>

#include "serial/CSerialPort.h"

// A port as the user names it: "COMn" (through the serial library's port directory) or a
// device path.
struct PortName {
    int comNumber = 0;       // n of COMn, 0 for a device path
    std::string devicePath;  // the path given, empty for COMn
    std::string text;        // as the user wrote it
};

// False when the text names no port at all (empty, or COM with a number below 1).
bool ParsePortName(const std::string& text, PortName& port);

// The device a port's text names: COMn through the port directory, a path as it is; empty
// when it names none.
std::string PortDevice(const std::string& text);

// Why a port that failed to open cannot be used, in terms a user can act on, from the cause
// the serial library kept for the failed open.
std::string DescribeOpenFailure(const PortName& port, const CSerialPort& serial, unsigned baud);

// The platform's side (a file per platform): the device COMn opens, empty when none;
// why COMn names nothing; why the user may not open the port `name` (device `path`) and what
// to do about it; who holds a busy port ("held by pid N (program)"), empty when the platform
// cannot tell; whether a port is there.
std::string ComPortDevice(int comNumber);
std::string MissingComPortText(const std::string& name);
std::string PermissionDeniedText(const std::string& name, const std::string& path);
std::string LockHolder(const std::string& path);
// Whether the port the user named is there now: a USB adapter's goes while it is unplugged.
bool PortPresent(const std::string& text);
