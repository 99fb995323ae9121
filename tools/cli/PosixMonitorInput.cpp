#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "tools/cli/MonitorInput.h"

struct MonitorInput::Saved {
    termios settings;
};

MonitorInput::MonitorInput(bool wantLines) {
    terminal_ = isatty(STDIN_FILENO) == 1;
    reading_ = terminal_ || wantLines;
    termios settings{};
    if (!terminal_ || tcgetattr(STDIN_FILENO, &settings) != 0) return;
    saved_ = std::make_unique<Saved>(Saved{settings});
    settings.c_cc[VEOL] = kMonitorQuitKey;
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

MonitorInput::~MonitorInput() {
    if (saved_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_->settings);
}

bool MonitorInput::Take(std::vector<std::string>& lines) {
    while (reading_) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, 0) <= 0) break;
        char chunk[256];
        const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            // End of input: nothing more to send, and the monitor goes on.
            reading_ = false;
            break;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
    for (std::size_t end = pending_.find_first_of("\n\x1d"); end != std::string::npos;
         end = pending_.find_first_of("\n\x1d")) {
        if (pending_[end] == kMonitorQuitKey) return false;
        std::string line = pending_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pending_.erase(0, end + 1);
    }
    return true;
}
