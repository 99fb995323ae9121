#pragma once

#include <fcntl.h>

#include <cerrno>
#include <climits>

#include "serial/CSerialPort.h"

// On POSIX `handle` holds the descriptor plus one: 0 stays "null" (never opened, or closed)
// and -1 stays "invalid" (a failed open), and neither can name a real descriptor.
namespace lunvik::posix {

inline SerialHandle HandleFor(int fd) {
    return static_cast<SerialHandle>(fd) + 1;
}

// -1 for a handle that names no descriptor.
inline int DescriptorOf(SerialHandle handle) {
    if (handle <= 0 || handle > static_cast<SerialHandle>(INT_MAX) + 1) return -1;
    return static_cast<int>(handle - 1);
}

// The descriptor of an open port, or -1 with errno EBADF.
inline int OpenDescriptorOf(SerialHandle handle) {
    const int fd = DescriptorOf(handle);
    if (fd < 0 || ::fcntl(fd, F_GETFD) == -1) {
        errno = EBADF;
        return -1;
    }
    return fd;
}

}  // namespace lunvik::posix
