#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "serial/SystemError.h"

namespace lunvik {

long LastSystemError() {
    return errno;
}

void RestoreSystemError(long code) {
    errno = static_cast<int>(code);
}

void SetBadBufferError() {
    errno = EFAULT;
}

void SetBusyError() {
    errno = EBUSY;
}

SerialFailure CauseOfSystemError(long code, bool opening) {
    switch (code) {
        case 0:
            return SerialFailure::None;
        case ENOENT:
        case ENOTDIR:
            return SerialFailure::NotFound;
        // No device behind an existing node: absent when opening, unplugged on an open port.
        case ENXIO:
        case ENODEV:
            return opening ? SerialFailure::NotFound : SerialFailure::GoneAway;
        case EACCES:
        case EPERM:
        case EROFS:
            return SerialFailure::Permission;
        case EBUSY:
        case EWOULDBLOCK:  // the exclusive lock is held
            return SerialFailure::Busy;
        case ENOTTY:
            return SerialFailure::NotATerminal;
        case EIO:
        case EPIPE:
            return SerialFailure::GoneAway;
        default:
            return SerialFailure::Other;
    }
}

void SystemErrorText(long code, char* text, std::size_t size) {
    if (size == 0) return;
    // The GNU strerror_r may hand back a static text instead of filling the buffer.
    char buffer[128];
    const char* reason = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    std::snprintf(text, size, "%s", reason);
}

void LocalClockText(char (&clock)[9]) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
}

}  // namespace lunvik
