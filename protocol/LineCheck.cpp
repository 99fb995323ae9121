#include "protocol/LineCheck.h"

#include <cerrno>

#include "protocol/LineTrace.h"
#include "serial/CSerialPort.h"

namespace bootproto {

LineState LookForStrayInput(CSerialPort& port, unsigned long waitMs, LineTrace* trace) {
    const SerialTimeouts kept = port.timeouts;
    // Only the constant bounds the read: it ends at the first byte or after `waitMs`.
    port.SetTimeouts(0, 0, waitMs > 0 ? waitMs : 1, kept.writeTotalPerByte,
                     kept.writeTotalConstant);
    char byte = 0;
    const unsigned long received = port.ReadFromPort(&byte, 1);
    const bool gone = received == CSerialPort::kFailure && PortWentAway();
    port.SetTimeouts(kept.readInterval, kept.readTotalPerByte, kept.readTotalConstant,
                     kept.writeTotalPerByte, kept.writeTotalConstant);
    if (gone) return LineState::PortLost;
    // A quiet line is the rule before every row: only what came is worth a line.
    if (received == 1) Trace(trace, TraceDirection::BoardToHost, {ExchangeKind::Stray}, &byte, 1);
    return received == 1 ? LineState::StrayInput : LineState::Quiet;
}

bool PortWentAway() {
    // The serial library leaves the system's reason in errno: a hung-up or removed tty
    // reads and writes with EIO (or ENXIO, ENODEV once the device node is gone).
    return errno == EIO || errno == ENXIO || errno == ENODEV;
}

}  // namespace bootproto
