#pragma once

#include <string>

#include "control/ProgrammingControl.h"
#include "tests/soak/SoakRun.h"
#include "tests/soak/SoakWindow.h"

class VirtualBoard;

// The programming control on a window of its own, as the command-line tool drives it, against
// the board's pseudo-terminal.
class ControlDriver : public SoakDriver {
public:
    ControlDriver(VirtualBoard& board, std::string hexPath);

    bool Connect() override;
    bool Load() override;
    bool Write() override;
    bool Run() override;
    bool Reconnect() override;
    std::array<bool, 3> TickedBlocks() const override;

private:
    // Dispatches the window's messages until the control is idle; false after a minute.
    bool WaitWhileBusy();

    VirtualBoard& board_;
    std::string hexPath_;
    SoakWindow window_;
    CProgrammingControl control_;
};
