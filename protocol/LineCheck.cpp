#include "protocol/LineCheck.h"

#include "protocol/Frames.h"
#include "serial/CSerialPort.h"

namespace bootproto {

namespace {

constexpr unsigned long kBitsPerByte = 10;
constexpr std::chrono::microseconds kShortestProgramming{1000};

}  // namespace

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

}  // namespace bootproto
