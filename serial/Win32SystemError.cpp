#include <windows.h>

#include <cstdio>
#include <cstring>

#include "serial/SystemError.h"

namespace lunvik {

long LastSystemError() {
    return static_cast<long>(GetLastError());
}

void RestoreSystemError(long code) {
    SetLastError(static_cast<DWORD>(code));
}

void SetBadBufferError() {
    SetLastError(ERROR_INVALID_USER_BUFFER);
}

void SetBusyError() {
    SetLastError(ERROR_BUSY);
}

SerialFailure CauseOfSystemError(long code, bool opening) {
    switch (static_cast<DWORD>(code)) {
        case ERROR_SUCCESS:
            return SerialFailure::None;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return SerialFailure::NotFound;
        // A COM port that another program holds refuses the exclusive open with "access
        // denied"; there are no permissions on COM ports to be denied otherwise. On a port
        // already open it is how the USB serial drivers (usbser.sys among them) fail every
        // call once the adapter is unplugged.
        case ERROR_ACCESS_DENIED:
            return opening ? SerialFailure::Busy : SerialFailure::GoneAway;
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return SerialFailure::Busy;
        case ERROR_INVALID_FUNCTION:
            return opening ? SerialFailure::NotATerminal : SerialFailure::Other;
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_NOT_READY:
            return opening ? SerialFailure::NotFound : SerialFailure::GoneAway;
        default:
            return SerialFailure::Other;
    }
}

void SystemErrorText(long code, char* text, std::size_t size) {
    if (size == 0) return;
    char buffer[160] = "";
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer,
                       sizeof buffer, nullptr);
    // The system's texts end in a line break, which has no place inside a one-line message.
    std::size_t end = length;
    while (end > 0 &&
           (buffer[end - 1] == '\n' || buffer[end - 1] == '\r' || buffer[end - 1] == ' '))
        --end;
    buffer[end] = '\0';
    if (end == 0)
        std::snprintf(buffer, sizeof buffer, "system error %lu", static_cast<unsigned long>(code));
    std::snprintf(text, size, "%s", buffer);
}

void LocalClockText(char (&clock)[9]) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", static_cast<unsigned>(now.wHour) % 100,
                  static_cast<unsigned>(now.wMinute) % 100,
                  static_cast<unsigned>(now.wSecond) % 100);
}

}  // namespace lunvik
