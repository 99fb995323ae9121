#include "tools/cli/PortName.h"

bool ParsePortName(const std::string& text, PortName& port) {
    port = PortName{};
    port.text = text;
    if (text.empty()) return false;
    const bool comPrefix =
        text.size() > 3 && (text.compare(0, 3, "COM") == 0 || text.compare(0, 3, "com") == 0);
    const std::string digits = comPrefix ? text.substr(3) : std::string();
    if (comPrefix && digits.size() <= 6 &&
        digits.find_first_not_of("0123456789") == std::string::npos) {
        port.comNumber = std::stoi(digits);
        return port.comNumber >= 1;
    }
    port.devicePath = text;
    return true;
}

std::string PortDevice(const std::string& text) {
    PortName port;
    if (!ParsePortName(text, port)) return {};
    return port.comNumber != 0 ? ComPortDevice(port.comNumber) : port.devicePath;
}

namespace {
std::string BusyHolder(const std::string& path) {
    const std::string holder = LockHolder(path);
    return holder.empty() ? "another program holds it" : holder;
}
}  // namespace

std::string DescribeOpenFailure(const PortName& port, const CSerialPort& serial, unsigned baud) {
    std::string path = port.devicePath;
    if (port.comNumber != 0) {
        path = ComPortDevice(port.comNumber);
        if (path.empty()) return MissingComPortText(port.text);
    }
    const std::string name = port.comNumber != 0 ? port.text + " (" + path + ")" : path;
    switch (serial.LastFailure()) {
        case SerialFailure::NotFound:
            return name + " does not exist (pelorant-cli ports lists the ports)";
        case SerialFailure::Permission:
            return PermissionDeniedText(name, path);
        case SerialFailure::Busy:
            return name + " is busy: " + BusyHolder(path);
        case SerialFailure::NotATerminal:
            return name + " is not a serial port";
        case SerialFailure::GoneAway:
            return name + " went away while it was being opened";
        case SerialFailure::None:
        case SerialFailure::Other:
        case SerialFailure::NoModemLines:
            break;
    }
    // A lock file names a holder even when the open failed for another reason.
    if (const std::string holder = LockHolder(path); !holder.empty()) {
        return name + " is busy: " + holder;
    }
    const std::string reason = serial.LastFailureText();
    return name + " cannot be opened at " + std::to_string(baud) + " bps" +
           (reason.empty() ? std::string() : ": " + reason);
}
