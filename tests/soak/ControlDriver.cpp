#include "tests/soak/ControlDriver.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/BootloaderApp.h"
#include "tools/sim/VirtualBoard.h"

ControlDriver::ControlDriver(VirtualBoard& board, std::string hexPath)
    : board_(board),
      hexPath_(std::move(hexPath)),
      control_(window_, theApp().Engine(), PortAtStart::Closed) {
    control_.SetDevicePath(board.DevicePath());
}

bool ControlDriver::WaitWhileBusy() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (control_.Busy()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (const auto message = window_.queue.Wait(std::chrono::milliseconds(50))) {
            control_.Dispatch(*message);
        }
    }
    return true;
}

bool ControlDriver::Connect() {
    control_.OnReconnectCommand();
    return WaitWhileBusy() && control_.PortOpen() == 1 && window_.boxes == 0;
}

bool ControlDriver::Load() {
    control_.SetHexPath(hexPath_);
    control_.LoadHexFile();
    return control_.HexLoaded() == 1 && window_.boxes == 0;
}

bool ControlDriver::Write() {
    control_.OnWriteCommand();
    return WaitWhileBusy() && window_.boxes == 0 &&
           window_.lastLine ==
               std::make_pair(std::string("dsPIC write process completed"), std::string("ok"));
}

bool ControlDriver::Run() {
    control_.OnRunCommand();
    if (control_.PortOpen() != 0 || window_.lastLine.second != "ok") return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!board_.UserProgramRunning()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The user presses the board's reset button, then "reconnect".
bool ControlDriver::Reconnect() {
    board_.Reset();
    return Connect();
}

std::array<bool, 3> ControlDriver::TickedBlocks() const {
    return {window_.BlockChecked(0), window_.BlockChecked(1), window_.BlockChecked(2)};
}
