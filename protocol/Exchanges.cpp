#include "protocol/Exchanges.h"

#include "protocol/Frames.h"
#include "serial/CSerialPort.h"

namespace bootproto {

bool CheckSynchronism(CSerialPort& port) {
    char request = static_cast<char>(kSyncCheck);
    // Only an exact count passes: the failure value is all bits set, not a byte sent.
    if (port.WriteToPort(&request, 1) != 1) return false;
    char reply = 0;
    if (port.ReadFromPort(&reply, 1) != 1) return false;
    return static_cast<std::uint8_t>(reply) == kSyncReply;
}

bool SendRunUserProgram(CSerialPort& port) {
    char request = static_cast<char>(kRunUserProgram);
    return port.WriteToPort(&request, 1) == 1;
}

}  // namespace bootproto
