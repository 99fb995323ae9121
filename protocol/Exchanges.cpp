#include "protocol/Exchanges.h"

#include "protocol/Frames.h"
#include "protocol/LineCheck.h"
#include "protocol/LineTrace.h"
#include "serial/CSerialPort.h"

namespace bootproto {

ExchangeResult CheckSynchronism(CSerialPort& port, LineTrace* trace) {
    constexpr Exchange kExchange{ExchangeKind::SyncCheck};
    char request = static_cast<char>(kSyncCheck);
    // Only an exact count passes: the failure value is all bits set, not a byte sent.
    const unsigned long written = port.WriteToPort(&request, 1);
    Trace(trace, TraceDirection::HostToBoard, kExchange, &request, written);
    if (PortLost(port, written)) return ExchangeResult::PortLost;
    if (written != 1) return ExchangeResult::Failed;
    char reply = 0;
    const unsigned long received = port.ReadFromPort(&reply, 1);
    Trace(trace, TraceDirection::BoardToHost, kExchange, &reply, received);
    if (PortLost(port, received)) return ExchangeResult::PortLost;
    if (received != 1) return ExchangeResult::Failed;
    return static_cast<std::uint8_t>(reply) == kSyncReply ? ExchangeResult::Passed
                                                          : ExchangeResult::Failed;
}

ExchangeResult SendRunUserProgram(CSerialPort& port, LineTrace* trace) {
    char request = static_cast<char>(kRunUserProgram);
    const unsigned long written = port.WriteToPort(&request, 1);
    Trace(trace, TraceDirection::HostToBoard, Exchange{ExchangeKind::Run}, &request, written);
    if (PortLost(port, written)) return ExchangeResult::PortLost;
    return written == 1 ? ExchangeResult::Passed : ExchangeResult::Failed;
}

}  // namespace bootproto
