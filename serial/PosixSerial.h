#pragma once

#include "serial/CSerialPort.h"

// Every system call CSerialPort makes goes through here, so that another platform can
// replace these files. Failures return false (or -1) and leave errno explaining them.
namespace lunvik::posix {

// Opens a tty for reading and writing, not as the controlling terminal, and takes it
// exclusively. Returns the descriptor, or -1.
int OpenExclusive(const char* path);
bool Close(int fd);
bool IsOpen(int fd);

bool ReadLineSettings(int fd, SerialLineSettings& settings);
// Raw 8-bit line without flow control, at the given speed, parity, data and stop bits;
// RTS asserted when the settings ask for it.
bool ApplyLineSettings(int fd, const SerialLineSettings& settings);
// Asks the driver not to hold received bytes back; drivers without the mode are left alone.
void RequestLowLatency(int fd);

// Discards unread input and output still queued in this port.
bool Purge(int fd);
// Reads up to `count` bytes under `timeouts`; `done` gets the bytes read.
bool Read(int fd, char* buffer, unsigned long count, const SerialTimeouts& timeouts,
          unsigned long& done);
// Purges, then writes `count` bytes and waits until they have left the port, all under
// `timeouts`; `done` gets the bytes that went out.
bool Write(int fd, const char* buffer, unsigned long count, const SerialTimeouts& timeouts,
           unsigned long& done);

// Asserts or releases DTR or RTS. A tty without modem lines (a pseudo-terminal) fails with
// ENOTTY.
bool SetModemLine(int fd, SerialModemLine line, bool asserted);
// The system call SetModemLine makes, as failures name it: "TIOCMBIS(DTR)".
const char* ModemLineOperation(SerialModemLine line, bool asserted);

}  // namespace lunvik::posix
