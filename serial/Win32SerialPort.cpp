// The Windows side of CSerialPort: a COM port through the Win32 communications calls (the
// POSIX side is CSerialPort.cpp). `handle` holds the Win32 handle: null stays null and a failed
// open leaves INVALID_HANDLE_VALUE, which is kInvalidSerialHandle.
#include <windows.h>

#include <cstdio>

#include "serial/CSerialPort.h"
#include "serial/SystemError.h"

namespace {

constexpr DWORD kPurgeInput = PURGE_RXABORT | PURGE_RXCLEAR;
constexpr DWORD kPurgeAll = kPurgeInput | PURGE_TXABORT | PURGE_TXCLEAR;

HANDLE HandleOf(SerialHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Null and invalid name no port. INVALID_HANDLE_VALUE is also the current process's
// pseudo-handle, which CloseHandle would accept: it must never reach a system call that way.
bool NamesAPort(SerialHandle handle) {
    return handle != kNullSerialHandle && handle != kInvalidSerialHandle;
}

// A result of exactly the failure value would read as a failure: never move that much at once.
DWORD LimitCount(unsigned long count) {
    return count < CSerialPort::kFailure ? count : CSerialPort::kFailure - 1;
}

// Discards what came in, and what is still queued to go out. Bytes that have left the port are
// the board's: over a pseudo-terminal (a COM port of Wine) a transmit purge would take back
// those the board has not read yet, so output is purged only while the driver still holds
// some, as on the POSIX side.
bool Purge(HANDLE handle) {
    DWORD errors = 0;
    COMSTAT status{};
    const bool outputQueued = !ClearCommError(handle, &errors, &status) || status.cbOutQue > 0;
    return PurgeComm(handle, outputQueued ? kPurgeAll : kPurgeInput) != 0;
}

void ReportFailure(CSerialPort& port, const char* operation) {
    lunvik::RecordFailure(port, operation, false);
    char name[32];
    std::snprintf(name, sizeof name, "%s", operation);
    port.ProcessErrorMessage(name);
}

void ReadLineSettings(const DCB& control, SerialLineSettings& settings) {
    settings.baudRate = control.BaudRate;
    settings.parity = "NOEMS"[control.Parity <= SPACEPARITY ? control.Parity : 0];
    settings.dataBits = control.ByteSize;
    settings.stopBits = control.StopBits == TWOSTOPBITS ? 2 : 1;
    settings.rtsEnable = control.fRtsControl == RTS_CONTROL_ENABLE;
    settings.abortOnError = control.fAbortOnError != 0;
}

// Raw 8-bit line without any flow control: nothing the board sends may be taken as a
// character with a meaning, and nothing may hold our bytes back.
void MakeRaw(DCB& control) {
    control.fBinary = TRUE;
    control.fOutxCtsFlow = FALSE;
    control.fOutxDsrFlow = FALSE;
    control.fDsrSensitivity = FALSE;
    control.fOutX = FALSE;
    control.fInX = FALSE;
    control.fErrorChar = FALSE;
    control.fNull = FALSE;
}

// The configuration steps after a successful open. A failed step is reported to the error
// hook and ends the configuration; the port stays open with whatever settings it kept.
void Configure(CSerialPort& port, HANDLE handle, const char* modeText, unsigned long eventMask) {
    if (port.SetTimeouts(4, 1, 4, 0, 0) == CSerialPort::kFailure) return;
    if (!SetCommMask(handle, eventMask)) {
        ReportFailure(port, "SetCommMask()");
        return;
    }
    DCB control{};
    control.DCBlength = sizeof control;
    if (!GetCommState(handle, &control)) {
        ReportFailure(port, "GetCommState()");
        return;
    }
    control.fRtsControl = RTS_CONTROL_ENABLE;
    control.fAbortOnError = FALSE;
    ReadLineSettings(control, port.lineSettings);
    if (!BuildCommDCBA(modeText, &control)) {
        ReportFailure(port, "BuildCommDCB()");
        return;
    }
    MakeRaw(control);
    if (!SetCommState(handle, &control)) {
        ReportFailure(port, "SetCommState()");
        return;
    }
    ReadLineSettings(control, port.lineSettings);
}

int OpenPort(CSerialPort& port, const char* device, unsigned long portNumber, unsigned int baud,
             char parity, unsigned int dataBits, unsigned int stopBits, unsigned long eventMask) {
    // Opening over a port this object still holds would lose that handle: refuse and keep it.
    DWORD flags = 0;
    if (NamesAPort(port.handle) && GetHandleInformation(HandleOf(port.handle), &flags)) {
        SetLastError(ERROR_BUSY);
        lunvik::RecordFailure(port, "CreateFile()", true);
        return 0;
    }
    port.portNumber = portNumber;
    char modeText[64];
    std::snprintf(modeText, sizeof modeText, "baud=%d parity=%c data=%d stop=%d",
                  static_cast<int>(baud), parity, static_cast<int>(dataBits),
                  static_cast<int>(stopBits));
    HANDLE handle =
        CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    // A file or a pipe opens as well, but is no port: the serial calls would fail on it.
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_CHAR) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        SetLastError(ERROR_INVALID_FUNCTION);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        lunvik::RecordFailure(port, "CreateFile()", true);
        port.handle = kInvalidSerialHandle;
        return 0;
    }
    lunvik::ClearFailure(port);
    port.handle = reinterpret_cast<SerialHandle>(handle);
    Configure(port, handle, modeText, eventMask);
    if (!Purge(handle)) ReportFailure(port, "PurgeComm()");
    return 1;
}

}  // namespace

int CSerialPort::InitPort(unsigned int number, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    // The driver's own queue sizes apply.
    (void)bufferSize;
    char device[32];
    std::snprintf(device, sizeof device, "\\\\.\\COM%u", number);
    return OpenPort(*this, device, number, baud, parity, dataBits, stopBits, eventMask);
}

int CSerialPort::InitPort(const char* devicePath, unsigned int baud, char parity,
                          unsigned int dataBits, unsigned int stopBits, unsigned long eventMask,
                          unsigned int bufferSize) {
    (void)bufferSize;
    return OpenPort(*this, devicePath != nullptr ? devicePath : "", 0, baud, parity, dataBits,
                    stopBits, eventMask);
}

unsigned long CSerialPort::SetTimeouts(unsigned long readInterval, unsigned long readTotalPerByte,
                                       unsigned long readTotalConstant,
                                       unsigned long writeTotalPerByte,
                                       unsigned long writeTotalConstant) {
    timeouts = SerialTimeouts{readInterval, readTotalPerByte, readTotalConstant, writeTotalPerByte,
                              writeTotalConstant};
    COMMTIMEOUTS block{readInterval, readTotalPerByte, readTotalConstant, writeTotalPerByte,
                       writeTotalConstant};
    if (!NamesAPort(handle)) SetLastError(ERROR_INVALID_HANDLE);
    if (!NamesAPort(handle) || !SetCommTimeouts(HandleOf(handle), &block)) {
        ReportFailure(*this, "SetCommTimeouts()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ReadFromPort(char* buffer, unsigned long count) {
    if (!NamesAPort(handle) || (buffer == nullptr && count != 0)) {
        SetLastError(buffer == nullptr && count != 0 ? ERROR_INVALID_USER_BUFFER
                                                     : ERROR_INVALID_HANDLE);
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    // Line errors (framing, overrun) would stop every later read while abort-on-error is on.
    DWORD errors = 0;
    COMSTAT status{};
    DWORD done = 0;
    if (!ClearCommError(HandleOf(handle), &errors, &status) ||
        !ReadFile(HandleOf(handle), buffer, LimitCount(count), &done, nullptr)) {
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    // Not every driver fails a read that was waiting when its device went away: some end it
    // as a time-out, again and again. The port's state tells a silent line from a vanished one.
    if (done == 0 && count != 0 && !ClearCommError(HandleOf(handle), &errors, &status)) {
        ReportFailure(*this, "ReadFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::WriteToPort(char* buffer, unsigned long count) {
    if (!NamesAPort(handle) || (buffer == nullptr && count != 0)) {
        SetLastError(buffer == nullptr && count != 0 ? ERROR_INVALID_USER_BUFFER
                                                     : ERROR_INVALID_HANDLE);
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    DWORD done = 0;
    // The bytes have left the port when the write returns: the board's reply cannot be
    // awaited while our frame still sits in the driver's queue.
    if (!Purge(HandleOf(handle)) ||
        !WriteFile(HandleOf(handle), buffer, LimitCount(count), &done, nullptr) ||
        !FlushFileBuffers(HandleOf(handle))) {
        ReportFailure(*this, "WriteFile()");
        return kFailure;
    }
    return done;
}

unsigned long CSerialPort::CleanPort() {
    if (!NamesAPort(handle)) SetLastError(ERROR_INVALID_HANDLE);
    if (!NamesAPort(handle) || !Purge(HandleOf(handle))) {
        ReportFailure(*this, "PurgeComm()");
        return kFailure;
    }
    return 0;
}

unsigned long CSerialPort::ClosePort() {
    // Callers close after a failed open as a matter of course: refusing to close what is
    // not open keeps the open's cause instead of replacing it.
    if (!NamesAPort(handle)) return kFailure;
    if (!CloseHandle(HandleOf(handle))) {
        lunvik::RecordFailure(*this, "CloseHandle()", false);
        return kFailure;
    }
    handle = kNullSerialHandle;
    return 0;
}

unsigned long CSerialPort::SetModemLine(SerialModemLine line, bool asserted) {
    const bool dtr = line == SerialModemLine::Dtr;
    const DWORD function = dtr ? (asserted ? SETDTR : CLRDTR) : (asserted ? SETRTS : CLRRTS);
    if (!NamesAPort(handle)) SetLastError(ERROR_INVALID_HANDLE);
    if (NamesAPort(handle) && EscapeCommFunction(HandleOf(handle), function)) return 0;
    const char* operation =
        dtr ? (asserted ? "EscapeCommFunction(SETDTR)" : "EscapeCommFunction(CLRDTR)")
            : (asserted ? "EscapeCommFunction(SETRTS)" : "EscapeCommFunction(CLRRTS)");
    // Drivers of ports without modem lines (virtual ports, Wine's pseudo-terminals) refuse
    // the function itself.
    const DWORD error = GetLastError();
    const bool noModemLines = error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
                              error == ERROR_INVALID_PARAMETER;
    lunvik::RecordModemLineFailure(*this, operation, noModemLines);
    return kFailure;
}
