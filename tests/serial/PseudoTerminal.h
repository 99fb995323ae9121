#pragma once

#include <chrono>
#include <string>

namespace testsupport {

// A pseudo-terminal pair: the port under test opens the slave by its path, the test plays
// the board on the master. Both descriptors stay open for the life of the object.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }
    int slave() const { return slave_; }

    // The board hangs up: later reads of the slave see the line gone.
    void CloseMaster();
    // The board sends bytes to the port.
    void Send(const std::string& bytes);
    // What the board received: returns once `count` bytes are in or `wait` has passed.
    std::string Receive(std::size_t count,
                        std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// The line speed the kernel holds for the tty behind `fd`, in bit/s (0 when unreadable).
unsigned long KernelLineSpeed(int fd);

}  // namespace testsupport
