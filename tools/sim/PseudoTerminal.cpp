#include "tools/sim/PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace board {

PseudoTerminal::PseudoTerminal(int master, int slave, std::string slavePath)
    : master_(master), slave_(slave), slavePath_(std::move(slavePath)) {}

PseudoTerminal::~PseudoTerminal() {
    Close();
}

std::unique_ptr<PseudoTerminal> PseudoTerminal::Open(std::string* error) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        if (error) *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<PseudoTerminal> terminal(new PseudoTerminal(master, slave, name));
    termios settings{};
    if (tcgetattr(slave, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
    }
    // Programs the board's owner starts (tests, scripts) must not inherit the line.
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    // A host that stops reading must never block the board: bytes it does not take are
    // lost, as on a real line.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return terminal;
}

int PseudoTerminal::UnreadByHost() const {
    int unread = 0;
    if (slave_ < 0 || ioctl(slave_, FIONREAD, &unread) != 0) return 0;
    return unread;
}

void PseudoTerminal::StopHostOutput() {
    if (slave_ >= 0) tcflow(slave_, TCOOFF);
}

void PseudoTerminal::Close() {
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    master_ = -1;
    slave_ = -1;
}

}  // namespace board
