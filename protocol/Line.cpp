#include "protocol/Line.h"

#include <algorithm>

namespace bootproto {

namespace {

constexpr unsigned long kStrayBytesTraced = 16;

}  // namespace

unsigned long Line::Send(const Exchange& exchange, const void* bytes, unsigned long count) {
    const unsigned long written = Write(bytes, count);
    Trace(trace_, TraceDirection::HostToBoard, exchange, bytes, written);
    return written;
}

unsigned long Line::Receive(const Exchange& exchange, void* bytes, unsigned long count) {
    const unsigned long received = Read(bytes, count);
    Trace(trace_, TraceDirection::BoardToHost, exchange, bytes, received);
    return received;
}

LineState Line::LookForStrayInput() {
    const unsigned long queued = QueuedInput();
    if (queued == kFailure) return WentAway() ? LineState::PortLost : LineState::StrayInput;
    if (queued == 0) return LineState::Quiet;
    // The bytes are there: the read takes them at once, whatever the time-outs.
    char bytes[kStrayBytesTraced];
    const unsigned long received =
        Receive({ExchangeKind::Stray}, bytes, std::min(queued, kStrayBytesTraced));
    return Lost(received) ? LineState::PortLost : LineState::StrayInput;
}

}  // namespace bootproto
