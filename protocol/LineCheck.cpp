#include "protocol/LineCheck.h"

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
    const bool gone = received == CSerialPort::kFailure && PortWentAway(port);
    port.SetTimeouts(kept.readInterval, kept.readTotalPerByte, kept.readTotalConstant,
                     kept.writeTotalPerByte, kept.writeTotalConstant);
    if (gone) return LineState::PortLost;
    // A quiet line is the rule before every row: only what came is worth a line.
    if (received == 1) Trace(trace, TraceDirection::BoardToHost, {ExchangeKind::Stray}, &byte, 1);
    return received == 1 ? LineState::StrayInput : LineState::Quiet;
}

bool PortWentAway(const CSerialPort& port) {
    // The serial library keeps the cause of the port's last failure in its own terms, the
    // same on every platform (a hung-up tty's EIO, a removed adapter's ERROR_DEVICE_REMOVED),
    // and unlike errno it survives the trace written between the call and this question.
    return port.LastFailure() == SerialFailure::GoneAway;
}

bool PortLost(const CSerialPort& port, unsigned long result) {
    return result == CSerialPort::kFailure && PortWentAway(port);
}

}  // namespace bootproto
