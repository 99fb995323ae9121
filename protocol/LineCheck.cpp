#include "protocol/LineCheck.h"

#include <algorithm>

#include "protocol/Frames.h"
#include "protocol/LineTrace.h"
#include "serial/CSerialPort.h"

namespace bootproto {

namespace {

constexpr unsigned long kBitsPerByte = 10;
constexpr std::chrono::microseconds kShortestProgramming{1000};
constexpr unsigned long kStrayBytesTraced = 16;

}  // namespace

LineState LookForStrayInput(CSerialPort& port, LineTrace* trace) {
    const unsigned long queued = port.QueuedInput();
    if (queued == CSerialPort::kFailure) {
        return PortWentAway(port) ? LineState::PortLost : LineState::StrayInput;
    }
    if (queued == 0) return LineState::Quiet;
    // The bytes are there: the read takes them at once, whatever the time-outs.
    char bytes[kStrayBytesTraced];
    const unsigned long received = port.ReadFromPort(bytes, std::min(queued, kStrayBytesTraced));
    Trace(trace, TraceDirection::BoardToHost, {ExchangeKind::Stray}, bytes, received);
    if (received == CSerialPort::kFailure && PortWentAway(port)) return LineState::PortLost;
    return LineState::StrayInput;
}

bool CanBeTheAnswer(LineClock::time_point sent, std::size_t bytes, unsigned long baud,
                    LineClock::time_point seen, std::uint8_t reply) {
    const std::chrono::nanoseconds onTheLine{baud != 0
                                                 ? static_cast<long long>(bytes) * kBitsPerByte *
                                                       970'000'000LL / static_cast<long long>(baud)
                                                 : 0};
    if (seen < sent + onTheLine) return false;
    return reply != kAck || seen >= sent + onTheLine + kShortestProgramming;
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
