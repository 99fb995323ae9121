#include <sys/ioctl.h>

#include "serial/PosixSerial.h"

namespace lunvik::posix {

bool SetModemLine(int fd, SerialModemLine line, bool asserted) {
    const int bits = line == SerialModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ::ioctl(fd, asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

const char* ModemLineOperation(SerialModemLine line, bool asserted) {
    if (line == SerialModemLine::Dtr) return asserted ? "TIOCMBIS(DTR)" : "TIOCMBIC(DTR)";
    return asserted ? "TIOCMBIS(RTS)" : "TIOCMBIC(RTS)";
}

}  // namespace lunvik::posix
