#pragma once

class CSerialPort;

namespace bootproto {

class LineTrace;

// Synchronism check: 0x33 out, exactly one byte 0xFF back.
bool CheckSynchronism(CSerialPort& port, LineTrace* trace = nullptr);
// Run user program: 0x0F out (exactly one byte written); no reply is read.
bool SendRunUserProgram(CSerialPort& port, LineTrace* trace = nullptr);

}  // namespace bootproto
