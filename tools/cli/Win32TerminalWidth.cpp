#include <io.h>
#include <windows.h>

#include "tools/cli/TerminalWidth.h"

std::size_t TerminalColumns(std::FILE* stream) {
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info)) return 0;
    // The visible window, not the buffer, which may be far wider than what the user sees.
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}
