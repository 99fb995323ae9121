#pragma once

#include <memory>
#include <string>

namespace board {

// A raw pseudo-terminal pair. The board keeps a descriptor of the slave side open for its
// whole life, so a host opening and closing the slave never hangs up the master.
class PseudoTerminal {
public:
    static std::unique_ptr<PseudoTerminal> Open(std::string* error);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int Master() const { return master_; }  // non-blocking
    const std::string& SlavePath() const { return slavePath_; }
    // The line speed the host set on its side, in bit/s; 0 when it cannot be read.
    unsigned long HostLineSpeed() const;
    // Bytes sent to the host that it has not read yet.
    int UnreadByHost() const;
    // Suspends the host's output, as a flow-control stop would: its writes then take no
    // byte until their time-outs pass.
    void StopHostOutput();
    // Closes both sides: a host holding the slave open sees the line hang up.
    void Close();

private:
    PseudoTerminal(int master, int slave, std::string slavePath);

    int master_;
    int slave_;
    std::string slavePath_;
};

}  // namespace board
