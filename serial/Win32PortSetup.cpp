// Opening, closing and setting up a COM port through the Win32 communications calls.
#include <cstdio>
#include <string>

#include "serial/SerialBackend.h"
#include "serial/Win32Handle.h"

namespace lunvik::os {

using win32::HandleOf;
using win32::NamesAPort;
using win32::PortHandleOf;

namespace {

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

BYTE ParityOf(char parity) {
    switch (parity) {
        case 'O':
            return ODDPARITY;
        case 'E':
            return EVENPARITY;
        case 'M':
            return MARKPARITY;
        case 'S':
            return SPACEPARITY;
        default:
            return NOPARITY;
    }
}

}  // namespace

const char* const kOpenCall = "CreateFile()";
const char* const kCloseCall = "CloseHandle()";

std::string ComPortDevice(unsigned number) {
    char device[32];
    std::snprintf(device, sizeof device, "\\\\.\\COM%u", number);
    return device;
}

SerialHandle OpenExclusive(const char* device) {
    HANDLE handle =
        CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    // A file or a pipe opens as well, but is no port: the serial calls would fail on it.
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_CHAR) {
        CloseHandle(handle);
        SetLastError(ERROR_INVALID_FUNCTION);
        return kInvalidSerialHandle;
    }
    if (handle == INVALID_HANDLE_VALUE) return kInvalidSerialHandle;
    return reinterpret_cast<SerialHandle>(handle);
}

bool NamesPort(SerialHandle handle) {
    return NamesAPort(handle);
}

bool IsOpen(SerialHandle handle) {
    DWORD flags = 0;
    return NamesAPort(handle) && GetHandleInformation(HandleOf(handle), &flags);
}

bool Close(SerialHandle handle) {
    HANDLE port = PortHandleOf(handle);
    return port != nullptr && CloseHandle(port);
}

bool ApplyTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) {
    HANDLE port = PortHandleOf(handle);
    COMMTIMEOUTS block{timeouts.readInterval, timeouts.readTotalPerByte, timeouts.readTotalConstant,
                       timeouts.writeTotalPerByte, timeouts.writeTotalConstant};
    return port != nullptr && SetCommTimeouts(port, &block);
}

bool SetEventMask(SerialHandle handle, unsigned long eventMask) {
    HANDLE port = PortHandleOf(handle);
    return port != nullptr && SetCommMask(port, eventMask);
}

bool ReadLineSettings(SerialHandle handle, SerialLineSettings& settings) {
    HANDLE port = PortHandleOf(handle);
    DCB control{};
    control.DCBlength = sizeof control;
    if (port == nullptr || !GetCommState(port, &control)) return false;
    settings.baudRate = control.BaudRate;
    settings.parity = "NOEMS"[control.Parity <= SPACEPARITY ? control.Parity : 0];
    settings.dataBits = control.ByteSize;
    settings.stopBits = control.StopBits == TWOSTOPBITS ? 2 : 1;
    settings.rtsEnable = control.fRtsControl == RTS_CONTROL_ENABLE;
    settings.abortOnError = control.fAbortOnError != 0;
    return true;
}

bool ApplyLineSettings(SerialHandle handle, const SerialLineSettings& settings) {
    HANDLE port = PortHandleOf(handle);
    DCB control{};
    control.DCBlength = sizeof control;
    if (port == nullptr || !GetCommState(port, &control)) return false;
    control.BaudRate = settings.baudRate;
    control.Parity = ParityOf(settings.parity);
    control.fParity = control.Parity != NOPARITY;
    control.ByteSize = static_cast<BYTE>(settings.dataBits);
    control.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    control.fRtsControl = settings.rtsEnable ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    control.fAbortOnError = settings.abortOnError ? TRUE : FALSE;
    MakeRaw(control);
    return SetCommState(port, &control) != 0;
}

}  // namespace lunvik::os
