#include <sys/ioctl.h>
#include <unistd.h>

#include "tools/cli/TerminalWidth.h"

std::size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}
