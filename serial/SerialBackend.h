#pragma once

#include <string>

#include "serial/CSerialPort.h"

// The system calls behind CSerialPort: each platform has its own files for them (Posix*.cpp,
// Win32*.cpp), while the sequence of every operation lives once, in CSerialPort.cpp. A call
// that fails returns false (or the invalid handle) with the platform's last error saying why;
// a handle that names no open port fails every call as a bad handle.
namespace lunvik::os {

// The names of the open and close calls in the failure texts ("open()", "CreateFile()").
extern const char* const kOpenCall;
extern const char* const kCloseCall;

// The device that "\\.\COM<number>" names on this platform.
std::string ComPortDevice(unsigned number);

// Opens a serial device for reading and writing, exclusively. kInvalidSerialHandle on failure.
SerialHandle OpenExclusive(const char* device);
// Whether the handle names a port at all (not null, not invalid): what close may be tried on.
bool NamesPort(SerialHandle handle);
// Whether the handle names a port that is open now.
bool IsOpen(SerialHandle handle);
bool Close(SerialHandle handle);

bool ApplyTimeouts(SerialHandle handle, const SerialTimeouts& timeouts);
// The event mask has an effect only where the driver keeps one; nothing waits for events.
bool SetEventMask(SerialHandle handle, unsigned long eventMask);
bool ReadLineSettings(SerialHandle handle, SerialLineSettings& settings);
// Raw 8-bit line without flow control at the settings' speed, parity, data and stop bits;
// RTS asserted when the settings ask for it.
bool ApplyLineSettings(SerialHandle handle, const SerialLineSettings& settings);

// Discards received bytes not yet read, and bytes still queued to go out.
bool Purge(SerialHandle handle);
// Reads up to `count` bytes under `timeouts`; `done` gets the bytes read.
bool Read(SerialHandle handle, char* buffer, unsigned long count, const SerialTimeouts& timeouts,
          unsigned long& done);
// Purges, then writes `count` bytes and waits until they have left the port, all under
// `timeouts`; `done` gets the bytes that went out.
bool Write(SerialHandle handle, const char* buffer, unsigned long count,
           const SerialTimeouts& timeouts, unsigned long& done);
// The number of received bytes waiting to be read, without waiting for any.
bool QueuedInput(SerialHandle handle, unsigned long& count);

// Asserts or releases DTR or RTS.
bool SetModemLine(SerialHandle handle, SerialModemLine line, bool asserted);
// After a failed SetModemLine: whether the port has no such lines at all (a pseudo-terminal,
// a virtual port).
bool LacksModemLines();
// The system call SetModemLine makes, as failures name it: "TIOCMBIS(DTR)".
const char* ModemLineOperation(SerialModemLine line, bool asserted);

}  // namespace lunvik::os
