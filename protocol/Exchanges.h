#pragma once

class CSerialPort;

namespace bootproto {

// Synchronism check: 0x33 out, exactly one byte 0xFF back.
bool CheckSynchronism(CSerialPort& port);
// Run user program: 0x0F out (exactly one byte written); no reply is read.
bool SendRunUserProgram(CSerialPort& port);

}  // namespace bootproto
