#pragma once

namespace bootproto {

class Line;

// How a one-byte exchange ended; PortLost: the port went away (nothing more can be sent).
enum class ExchangeResult { Passed, Failed, PortLost };

// Synchronism check: 0x33 out, exactly one byte 0xFF back.
ExchangeResult CheckSynchronism(Line& line);
// Run user program: 0x0F out (exactly one byte written); no reply is read.
ExchangeResult SendRunUserProgram(Line& line);

}  // namespace bootproto
