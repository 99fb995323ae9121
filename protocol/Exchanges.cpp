#include "protocol/Exchanges.h"

#include <cstdint>

#include "protocol/Frames.h"
#include "protocol/Line.h"

namespace bootproto {

ExchangeResult CheckSynchronism(Line& line) {
    constexpr Exchange kExchange{ExchangeKind::SyncCheck};
    const char request = static_cast<char>(kSyncCheck);
    // Only an exact count passes: the failure value is all bits set, not a byte sent.
    const unsigned long written = line.Send(kExchange, &request, 1);
    if (line.Lost(written)) return ExchangeResult::PortLost;
    if (written != 1) return ExchangeResult::Failed;
    char reply = 0;
    const unsigned long received = line.Receive(kExchange, &reply, 1);
    if (line.Lost(received)) return ExchangeResult::PortLost;
    if (received != 1) return ExchangeResult::Failed;
    return static_cast<std::uint8_t>(reply) == kSyncReply ? ExchangeResult::Passed
                                                          : ExchangeResult::Failed;
}

ExchangeResult SendRunUserProgram(Line& line) {
    const char request = static_cast<char>(kRunUserProgram);
    const unsigned long written = line.Send(Exchange{ExchangeKind::Run}, &request, 1);
    if (line.Lost(written)) return ExchangeResult::PortLost;
    return written == 1 ? ExchangeResult::Passed : ExchangeResult::Failed;
}

}  // namespace bootproto
