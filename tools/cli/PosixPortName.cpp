#include "serial/PortDirectory.h"
#include "serial/PortLock.h"
#include "tools/cli/PortName.h"

std::string ComPortDevice(int comNumber) {
    return lunvik::ResolveComPort(static_cast<unsigned>(comNumber));
}

std::string MissingComPortText(const std::string& name) {
    return name + " does not exist: no link " + name + " in " + lunvik::PortDirectory() +
           " (pelorant-cli ports lists the ports)";
}

std::string PermissionAdvice() {
    return "join the dialout group (sudo usermod -aG dialout $USER), then log in again";
}

// A program that took the port's UUCP lock is named; one that only opened it is not known.
std::string LockHolder(const std::string& path) {
    const auto holder = lunvik::LiveLockHolder(path);
    if (!holder) return {};
    return "held by pid " + std::to_string(holder->pid) + " (" +
           (holder->program.empty() ? "unknown program" : holder->program) + ")";
}
