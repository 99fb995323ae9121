#pragma once

#include <array>
#include <string>

class VirtualBoard;

// One way of driving the programming control: directly, or through the main window.
class SoakDriver {
public:
    virtual ~SoakDriver() = default;
    virtual bool Connect() = 0;  // opens the port, detects and identifies the chip
    virtual bool Load() = 0;     // loads the sample firmware
    virtual bool Write() = 0;    // true when the write ended "ok"
    virtual bool Run() = 0;      // true when the board runs the user program
    virtual bool Reconnect() = 0;
    virtual std::array<bool, 3> TickedBlocks() const = 0;
};

// Connects, then `cycles` times: load, write, run, reconnect, write again. After every write
// the board's memory must equal the loaded image row for row; open files and threads must
// not rise above what the first cycle left, and resident memory must not keep growing.
// Prints the process figures every 50 cycles. False, with the reason printed, on a failure.
bool RunSoak(const std::string& name, SoakDriver& driver, const VirtualBoard& board, int cycles);
