#pragma once

class CSerialPort;

namespace bootproto {

class LineTrace;

// How a one-byte exchange ended; PortLost: the port went away (nothing more can be sent).
enum class ExchangeResult { Passed, Failed, PortLost };

// Synchronism check: 0x33 out, exactly one byte 0xFF back.
ExchangeResult CheckSynchronism(CSerialPort& port, LineTrace* trace = nullptr);
// Run user program: 0x0F out (exactly one byte written); no reply is read.
ExchangeResult SendRunUserProgram(CSerialPort& port, LineTrace* trace = nullptr);

}  // namespace bootproto
