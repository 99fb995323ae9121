#pragma once

#include <chrono>
#include <cstdint>

#include "protocol/LineCheck.h"
#include "protocol/LineTrace.h"
#include "protocol/ResetSequence.h"

// The line to one board, as every exchange sees it: what goes out and comes back, each port
// call traced, the phase's time-outs, the line's clock and the stray-byte look. A back end
// gives the few port calls (a serial port, or a board held in memory with a clock of its own);
// the rest is the same for every back end.
namespace bootproto {

class Line : public ModemLines {
public:
    // A port call's failure value, as CSerialPort's.
    static constexpr unsigned long kFailure = 0xFFFFFFFFUL;

    explicit Line(LineTrace* trace = nullptr) : trace_(trace) {}

    // The board's trace from now on; none: not traced. Set before any worker uses the line.
    void SetTrace(LineTrace* trace) { trace_ = trace; }

    // One write of `count` bytes, opening `exchange`; the count written or kFailure.
    unsigned long Send(const Exchange& exchange, const void* bytes, unsigned long count);
    // One read of up to `count` bytes within the phase's time-outs; the count read or kFailure.
    unsigned long Receive(const Exchange& exchange, void* bytes, unsigned long count);

    // What is waiting on the line, looked at without waiting for any. Stray bytes found are
    // read, so that the trace shows them.
    LineState LookForStrayInput();

    // Whether `result`, what a call just returned, is the failure of a line that went away
    // (adapter unplugged, line hung up): nothing more can be exchanged on it.
    bool Lost(unsigned long result) const { return result == kFailure && WentAway(); }

    // The back end's port calls.
    // Whether the call that just failed failed because the port went away, not for a time-out.
    virtual bool WentAway() const = 0;
    // The input bytes already waiting, without waiting; kFailure when it cannot be asked.
    virtual unsigned long QueuedInput() = 0;
    // Drops whatever input is waiting.
    virtual void DropInput() = 0;
    // From detection on, every read waits up to 100 ms between bytes and 100 ms + 100 ms a byte
    // in all (the port as opened waits only a few milliseconds).
    virtual void UseExchangeTimeouts() = 0;
    virtual unsigned long Baud() const = 0;
    virtual LineClock::time_point Now() const = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;

protected:
    virtual unsigned long Write(const void* bytes, unsigned long count) = 0;
    virtual unsigned long Read(void* bytes, unsigned long count) = 0;

private:
    LineTrace* trace_;
};

}  // namespace bootproto
