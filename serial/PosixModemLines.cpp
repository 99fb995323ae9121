#include <sys/ioctl.h>

#include <cerrno>

#include "serial/PosixHandle.h"
#include "serial/SerialBackend.h"

// The modem control lines of a tty.
namespace lunvik::os {

bool SetModemLine(SerialHandle handle, SerialModemLine line, bool asserted) {
    const int fd = posix::OpenDescriptorOf(handle);
    const int bits = line == SerialModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return fd >= 0 && ::ioctl(fd, asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

// A tty without modem lines (a pseudo-terminal) refuses the call with ENOTTY.
bool LacksModemLines() {
    return errno == ENOTTY;
}

const char* ModemLineOperation(SerialModemLine line, bool asserted) {
    if (line == SerialModemLine::Dtr) return asserted ? "TIOCMBIS(DTR)" : "TIOCMBIC(DTR)";
    return asserted ? "TIOCMBIS(RTS)" : "TIOCMBIC(RTS)";
}

}  // namespace lunvik::os
