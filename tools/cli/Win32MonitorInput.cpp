#include <conio.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "tools/cli/MonitorInput.h"

// A console is read key by key, echoing and editing the line here; a pipe or a file is read
// by what it holds.
struct MonitorInput::Saved {};

MonitorInput::MonitorInput(bool wantLines) {
    terminal_ = _isatty(_fileno(stdin)) != 0;
    reading_ = terminal_ || wantLines;
}

MonitorInput::~MonitorInput() = default;

bool MonitorInput::Take(std::vector<std::string>& lines) {
    if (terminal_) {
        while (_kbhit()) {
            const int key = _getch();
            if (key == kMonitorQuitKey) return false;
            if (key == '\r') {
                _putch('\r');
                _putch('\n');
                lines.push_back(pending_);
                pending_.clear();
            } else if (key == '\b' && !pending_.empty()) {
                pending_.pop_back();
                _cputs("\b \b");
            } else if (key >= 0x20 && key < 0x7F) {
                pending_ += static_cast<char>(key);
                _putch(key);
            }
        }
        return true;
    }
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (reading_) {
        DWORD available = 0;
        const bool pipe = GetFileType(input) == FILE_TYPE_PIPE;
        if (pipe && (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr))) {
            reading_ = false;  // the writer went: end of input
            break;
        }
        if (pipe && available == 0) break;
        char chunk[256];
        DWORD got = 0;
        const DWORD wanted = pipe && available < sizeof chunk ? available : sizeof chunk;
        if (!ReadFile(input, chunk, wanted, &got, nullptr) || got == 0) {
            reading_ = false;
            break;
        }
        pending_.append(chunk, got);
    }
    for (std::size_t end = pending_.find('\n'); end != std::string::npos;
         end = pending_.find('\n')) {
        std::string line = pending_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pending_.erase(0, end + 1);
    }
    return true;
}
