#include "tools/cli/PortName.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/PortDirectory.h"
#include "serial/PortLock.h"

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

std::string DiagnoseOpenFailure(const PortName& port, unsigned baud) {
    std::string path = port.devicePath;
    if (port.comNumber != 0) {
        path = lunvik::ResolveComPort(static_cast<unsigned>(port.comNumber));
        if (path.empty()) {
            return port.text + " does not exist: no link " + port.text + " in " +
                   lunvik::PortDirectory() + " (pelorant-cli ports lists the ports)";
        }
    }
    const std::string name = port.comNumber != 0 ? port.text + " (" + path + ")" : path;

    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return name + " does not exist (pelorant-cli ports lists the ports)";
    }
    if (const auto holder = lunvik::LiveLockHolder(path)) {
        return name + " is busy: held by pid " + std::to_string(holder->pid) + " (" +
               (holder->program.empty() ? "unknown program" : holder->program) + ")";
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            return "permission denied on " + name +
                   ": join the dialout group (sudo usermod -aG dialout $USER), then log in again";
        }
        if (error == EBUSY) return name + " is busy: another program holds it";
        return name + " cannot be opened: " + std::strerror(error);
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    if (held) return name + " is busy: another program holds it";
    return name + " does not take " + std::to_string(baud) + " bps, or is not a serial port";
}
