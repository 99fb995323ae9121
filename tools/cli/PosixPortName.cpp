#include <sys/stat.h>

#include "serial/PortDirectory.h"
#include "serial/PortLock.h"
#include "tools/cli/PermissionHint.h"
#include "tools/cli/PortName.h"

std::string ComPortDevice(int comNumber) {
    return lunvik::ResolveComPort(static_cast<unsigned>(comNumber));
}

std::string MissingComPortText(const std::string& name) {
    return name + " does not exist: no link " + name + " in " + lunvik::PortDirectory() +
           " (pelorant-cli ports lists the ports)";
}

// The node's mode, owner and group decide which step helps: joining its group, logging in
// again, or a udev rule when only root may open it.
std::string PermissionDeniedText(const std::string& name, const std::string& path) {
    return DiagnosePermission(name, path).value_or("permission denied on " + name);
}

// A program that took the port's UUCP lock is named; one that only opened it is not known.
std::string LockHolder(const std::string& path) {
    const auto holder = lunvik::LiveLockHolder(path);
    if (!holder) return {};
    if (!holder->notALockFile.empty())
        return "lock file " + holder->notALockFile + " is not a lock file";
    return "held by pid " + std::to_string(holder->pid) + " (" +
           (holder->program.empty() ? "unknown program" : holder->program) + ")";
}

bool PortPresent(const std::string& text) {
    const std::string device = PortDevice(text);
    struct stat info {};
    return !device.empty() && ::stat(device.c_str(), &info) == 0;
}
