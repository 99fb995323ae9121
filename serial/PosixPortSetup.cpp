#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "serial/LineSpeed.h"
#include "serial/PortDirectory.h"
#include "serial/PortLock.h"
#include "serial/PosixHandle.h"
#include "serial/SerialBackend.h"

// Opening, closing and setting up a tty.
namespace lunvik::os {

using posix::DescriptorOf;
using posix::OpenDescriptorOf;

namespace {

// Closes a descriptor on a failure path without losing the errno that explains the failure.
int CloseKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

tcflag_t DataBitsFlag(unsigned dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

unsigned DataBitsOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

tcflag_t ParityFlags(char parity) {
    switch (parity) {
        case 'E':
            return PARENB;
        case 'O':
            return PARENB | PARODD;
        case 'M':
            return PARENB | CMSPAR | PARODD;
        case 'S':
            return PARENB | CMSPAR;
        default:
            return 0;
    }
}

char ParityOf(tcflag_t cflag) {
    if ((cflag & PARENB) == 0) return 'N';
    const bool odd = (cflag & PARODD) != 0;
    if ((cflag & CMSPAR) != 0) return odd ? 'M' : 'S';
    return odd ? 'O' : 'E';
}

// Asks the driver not to hold received bytes back; drivers without the mode are left alone.
void RequestLowLatency(int fd) {
    struct serial_struct info {};
    if (::ioctl(fd, TIOCGSERIAL, &info) != 0 || (info.flags & ASYNC_LOW_LATENCY) != 0) return;
    info.flags |= ASYNC_LOW_LATENCY;
    // Some drivers refuse; the port then works with the driver's own latency.
    ::ioctl(fd, TIOCSSERIAL, &info);
}

// Opens a tty for reading and writing, not as the controlling terminal, and takes it
// exclusively. Returns the descriptor, or -1.
int OpenDescriptor(const char* path) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return -1;
    }
    // Non-blocking, so that a port without carrier does not hang the open; reads and writes
    // wait with poll() under the port's time-outs.
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!::isatty(fd)) return CloseKeepingErrno(fd);
    // TIOCEXCL keeps other programs out but not root, nor a second open in this process:
    // the lock is what really guards the port.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return CloseKeepingErrno(fd);
    if (::ioctl(fd, TIOCEXCL) != 0) return CloseKeepingErrno(fd);
    // Programs that do not lock the tty itself honour the UUCP lock file, and so do we.
    if (!posix::TakePortLock(fd, path)) {
        ::ioctl(fd, TIOCNXCL);
        return CloseKeepingErrno(fd);
    }
    return fd;
}

}  // namespace

const char* const kOpenCall = "open()";
const char* const kCloseCall = "close()";

// "\\.\COM<n>" names resolve through the port directory.
std::string ComPortDevice(unsigned number) {
    return ResolveComPort(number);
}

SerialHandle OpenExclusive(const char* device) {
    const int fd = OpenDescriptor(device);
    if (fd < 0) return kInvalidSerialHandle;
    RequestLowLatency(fd);
    return posix::HandleFor(fd);
}

bool NamesPort(SerialHandle handle) {
    return DescriptorOf(handle) >= 0;
}

bool IsOpen(SerialHandle handle) {
    return OpenDescriptorOf(handle) >= 0;
}

bool Close(SerialHandle handle) {
    const int fd = DescriptorOf(handle);
    if (fd < 0) {
        errno = EBADF;
        return false;
    }
    // The exclusive flag belongs to the tty, not to our descriptor: while anyone else still
    // holds the tty (the peer of a pseudo-terminal does), it would refuse our next open.
    ::ioctl(fd, TIOCNXCL);
    posix::ReleasePortLock(fd);
    // Linux releases the descriptor even when close() is interrupted.
    return ::close(fd) == 0 || errno == EINTR;
}

// The time-outs are applied by every read and write; a port that is not open refuses them.
bool ApplyTimeouts(SerialHandle handle, const SerialTimeouts&) {
    return IsOpen(handle);
}

// A tty keeps no event mask: nothing to set.
bool SetEventMask(SerialHandle handle, unsigned long) {
    return IsOpen(handle);
}

bool ReadLineSettings(SerialHandle handle, SerialLineSettings& settings) {
    const int fd = OpenDescriptorOf(handle);
    struct termios line {};
    unsigned long baud = 0;
    if (fd < 0 || ::tcgetattr(fd, &line) != 0 || !posix::GetLineSpeed(fd, baud)) return false;
    settings.baudRate = baud;
    settings.parity = ParityOf(line.c_cflag);
    settings.dataBits = DataBitsOf(line.c_cflag);
    settings.stopBits = (line.c_cflag & CSTOPB) != 0 ? 2 : 1;
    return true;
}

bool ApplyLineSettings(SerialHandle handle, const SerialLineSettings& settings) {
    const int fd = OpenDescriptorOf(handle);
    struct termios line {};
    if (fd < 0 || ::tcgetattr(fd, &line) != 0) return false;
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                           ICRNL | IXON | IXOFF | IXANY | INPCK);
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // HUPCL off: dropping the modem lines on close would reset some boards.
    line.c_cflag &=
        ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    line.c_cflag |= CLOCAL | CREAD | DataBitsFlag(settings.dataBits) |
                    ParityFlags(settings.parity) | (settings.stopBits == 2 ? CSTOPB : 0);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &line) != 0) return false;
    if (!posix::SetLineSpeed(fd, settings.baudRate)) return false;
    if (settings.rtsEnable) {
        const int rts = TIOCM_RTS;
        if (::ioctl(fd, TIOCMBIS, &rts) != 0) return false;
    }
    return true;
}

}  // namespace lunvik::os
