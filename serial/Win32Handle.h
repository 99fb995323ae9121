#pragma once

#include <windows.h>

#include "serial/CSerialPort.h"

// On Windows `handle` holds the Win32 handle: null stays null and a failed open leaves
// INVALID_HANDLE_VALUE, which is kInvalidSerialHandle.
namespace lunvik::win32 {

inline HANDLE HandleOf(SerialHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Null and invalid name no port. INVALID_HANDLE_VALUE is also the current process's
// pseudo-handle, which CloseHandle would accept: it must never reach a system call that way.
inline bool NamesAPort(SerialHandle handle) {
    return handle != kNullSerialHandle && handle != kInvalidSerialHandle;
}

// The Win32 handle of a handle that names a port; null with ERROR_INVALID_HANDLE otherwise.
inline HANDLE PortHandleOf(SerialHandle handle) {
    if (NamesAPort(handle)) return HandleOf(handle);
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

}  // namespace lunvik::win32
