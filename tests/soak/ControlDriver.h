#pragma once

#include <string>

#include "control/ProgrammingSession.h"
#include "tests/soak/SoakObserver.h"
#include "tests/soak/SoakRun.h"

class VirtualBoard;

// The programming session on an observer of its own, as the command-line tool drives it,
// against the board's pseudo-terminal.
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
    // Dispatches the workers' messages until the session is idle; false after a minute.
    bool WaitWhileBusy();

    VirtualBoard& board_;
    std::string hexPath_;
    SoakObserver window_;
    ProgrammingSession control_;
};
