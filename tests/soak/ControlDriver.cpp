#include "tests/soak/ControlDriver.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/BootloaderApp.h"
#include "tools/sim/VirtualBoard.h"

ControlDriver::ControlDriver(VirtualBoard& board, std::string hexPath)
    : board_(board),
      hexPath_(std::move(hexPath)),
      control_(theApp().Engine(), window_, window_.queue, PortAtStart::Closed) {
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
    control_.Reconnect();
    return WaitWhileBusy() && control_.PortOpen() == 1 && window_.boxes == 0;
}

bool ControlDriver::Load() {
    control_.SetHexPath(hexPath_);
    control_.Load();
    // Every memory the file fills is chosen.
    for (int block = kBlockCode; block <= kBlockConfig; ++block) control_.ChooseBlock(block, true);
    return control_.HexLoaded() == 1 && window_.boxes == 0;
}

bool ControlDriver::Write() {
    control_.Write();
    return WaitWhileBusy() && window_.boxes == 0 &&
           window_.lastLine ==
               std::make_pair(std::string("dsPIC write process completed"), std::string("ok"));
}

bool ControlDriver::Run() {
    control_.Run();
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
    return {control_.BlockChosen(0), control_.BlockChosen(1), control_.BlockChosen(2)};
}
