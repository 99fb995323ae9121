#include <windows.h>

#include "tools/cli/PortName.h"

std::string ComPortDevice(int comNumber) {
    return "\\\\.\\COM" + std::to_string(comNumber);
}

// Every COM number names a Windows device, so a missing one is reported by the open itself.
std::string MissingComPortText(const std::string& name) {
    return name + " does not exist (pelorant-cli ports lists the ports)";
}

std::string PermissionDeniedText(const std::string& name, const std::string&) {
    return "permission denied on " + name + ": ask the administrator for access to the port";
}

// Windows keeps no lock files: a busy port's holder is not known.
std::string LockHolder(const std::string&) {
    return {};
}

// A COM port the system knows has a DOS device name; an unplugged adapter's is gone.
bool PortPresent(const std::string& text) {
    PortName port;
    if (!ParsePortName(text, port)) return false;
    std::string name = port.comNumber != 0 ? "COM" + std::to_string(port.comNumber) : text;
    if (name.rfind("\\\\.\\", 0) == 0) name = name.substr(4);
    char target[512];
    return QueryDosDeviceA(name.c_str(), target, sizeof target) != 0;
}
