#pragma once

#include <cstddef>

#include "serial/CSerialPort.h"

// The platform's error codes in the serial library's own terms, and its clock. Each platform
// has its own file for these; the failure record is shared.
namespace lunvik {

// The calling thread's last system error: errno, or GetLastError on Windows.
long LastSystemError();
void RestoreSystemError(long code);
// The platform's errors for a call refused before it reached the system: a missing buffer,
// and an open over a port the object still holds.
void SetBadBufferError();
void SetBusyError();

// The portable cause of a system error. `opening` tells a failed open (where a missing device
// is not found) from a failure on an open port (where the device went away).
SerialFailure CauseOfSystemError(long code, bool opening);

// The system's text for `code`, cut to fit `size` bytes (terminator included).
void SystemErrorText(long code, char* text, std::size_t size);

// The local time of day as "HH:MM:SS"; `clock` is left as it was when the time is unknown.
void LocalClockText(char (&clock)[9]);

// Stores the last system error in `port` as the cause of its failed `operation`; the system
// error itself is left as it was, for the error hook that may follow.
void RecordFailure(CSerialPort& port, const char* operation, bool opening);
void ClearFailure(CSerialPort& port);
// The same for a modem line `operation`; `noModemLines` when the port has no such lines.
void RecordModemLineFailure(CSerialPort& port, const char* operation, bool noModemLines);

}  // namespace lunvik
