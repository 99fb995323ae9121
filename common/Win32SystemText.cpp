#include "common/Win32SystemText.h"

std::string SystemText(DWORD code) {
    char buffer[256] = "";
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    // The system's texts end in a line break, which has no place inside a one-line message.
    while (length > 0 &&
           (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        --length;
    if (length == 0) return "system error " + std::to_string(code);
    return std::string(buffer, length);
}
