// Reading, writing and purging a COM port through the Win32 communications calls, under the
// port's COMMTIMEOUTS.
#include "serial/SerialBackend.h"
#include "serial/Win32Handle.h"

namespace lunvik::os {

using win32::PortHandleOf;

namespace {

constexpr DWORD kPurgeInput = PURGE_RXABORT | PURGE_RXCLEAR;
constexpr DWORD kPurgeAll = kPurgeInput | PURGE_TXABORT | PURGE_TXCLEAR;

// Discards what came in, and what is still queued to go out. Bytes that have left the port are
// the board's: over a pseudo-terminal (a COM port of Wine) a transmit purge would take back
// those the board has not read yet, so output is purged only while the driver still holds
// some, as on the POSIX side.
bool PurgePort(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    const bool outputQueued = !ClearCommError(port, &errors, &status) || status.cbOutQue > 0;
    return PurgeComm(port, outputQueued ? kPurgeAll : kPurgeInput) != 0;
}

}  // namespace

bool Purge(SerialHandle handle) {
    HANDLE port = PortHandleOf(handle);
    return port != nullptr && PurgePort(port);
}

bool QueuedInput(SerialHandle handle, unsigned long& count) {
    HANDLE port = PortHandleOf(handle);
    DWORD errors = 0;
    COMSTAT status{};
    if (port == nullptr || !ClearCommError(port, &errors, &status)) return false;
    count = status.cbInQue;
    return true;
}

bool Read(SerialHandle handle, char* buffer, unsigned long count, const SerialTimeouts&,
          unsigned long& done) {
    done = 0;
    HANDLE port = PortHandleOf(handle);
    // Line errors (framing, overrun) would stop every later read while abort-on-error is on.
    DWORD errors = 0;
    COMSTAT status{};
    DWORD got = 0;
    if (port == nullptr || !ClearCommError(port, &errors, &status) ||
        !ReadFile(port, buffer, count, &got, nullptr)) {
        return false;
    }
    // Not every driver fails a read that was waiting when its device went away: some end it
    // as a time-out, again and again. The port's state tells a silent line from a vanished one.
    if (got == 0 && count != 0 && !ClearCommError(port, &errors, &status)) return false;
    done = got;
    return true;
}

bool Write(SerialHandle handle, const char* buffer, unsigned long count, const SerialTimeouts&,
           unsigned long& done) {
    done = 0;
    HANDLE port = PortHandleOf(handle);
    DWORD put = 0;
    // The bytes have left the port when the write returns: the board's reply cannot be
    // awaited while our frame still sits in the driver's queue.
    if (port == nullptr || !PurgePort(port) || !WriteFile(port, buffer, count, &put, nullptr) ||
        !FlushFileBuffers(port)) {
        return false;
    }
    done = put;
    return true;
}

}  // namespace lunvik::os
