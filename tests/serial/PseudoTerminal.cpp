#include "tests/serial/PseudoTerminal.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
    // The board side is raw too, so bytes pass unchanged in both directions.
    struct termios raw {};
    ::tcgetattr(master_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master_, TCSANOW, &raw);
}

PseudoTerminal::~PseudoTerminal() {
    CloseMaster();
    if (slave_ >= 0) ::close(slave_);
}

void PseudoTerminal::CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

void PseudoTerminal::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (put <= 0) throw std::runtime_error("write to the pseudo-terminal failed");
        sent += static_cast<std::size_t>(put);
    }
}

std::string PseudoTerminal::Receive(std::size_t count, std::chrono::milliseconds wait) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        struct pollfd entry {
            master_, POLLIN, 0
        };
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[256];
        const std::size_t want = std::min(sizeof buffer, count - received.size());
        const ssize_t got = ::read(master_, buffer, want);
        if (got <= 0) break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}

}  // namespace testsupport
