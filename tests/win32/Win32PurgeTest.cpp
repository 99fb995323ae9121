// Bytes that have left the port are the board's, whatever the program does with the port
// next. Over Wine's COM ports (pseudo-terminals) a transmit purge reaches into what the
// board has not read yet: a lost byte shows here within a few hundred tries.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "serial/CSerialPort.h"
#include "tools/sim/VirtualBoard.h"

namespace {

constexpr int kTries = 150;

int Open(CSerialPort& port, const std::string& path) {
    return port.InitPort(path.c_str(), 115200, 'N', 8, 1, 9, 512);
}

std::size_t FramesSeen(const VirtualBoard& board, std::size_t expected) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::size_t seen = board.Frames().size();
    while (seen < expected && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        seen = board.Frames().size();
    }
    return seen;
}

struct AfterWrite {
    const char* name;
    std::function<bool(CSerialPort& port, const std::string& path)> next;
};

TEST(Win32PurgeTest, WhatLeftThePortReachesTheBoard) {
    const AfterWrite rows[] = {
        {"clean", [](CSerialPort& port, const std::string&) { return port.CleanPort() == 0; }},
        {"clean, close and open again",
         [](CSerialPort& port, const std::string& path) {
             return port.CleanPort() == 0 && port.ClosePort() == 0 && Open(port, path) == 1;
         }},
    };
    for (const AfterWrite& row : rows) {
        SCOPED_TRACE(row.name);
        BoardOptions options;
        options.cataloguePath = PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml";
        options.device = "dsPIC30F4011";
        std::string error;
        const auto board = VirtualBoard::Start(options, &error);
        ASSERT_TRUE(board) << error;
        CSerialPort port;
        ASSERT_EQ(Open(port, board->DevicePath()), 1) << port.LastFailureText();
        for (int i = 0; i < kTries; ++i) {
            char probe = 0x55;
            ASSERT_EQ(port.WriteToPort(&probe, 1), 1u) << port.LastFailureText();
            ASSERT_TRUE(row.next(port, board->DevicePath())) << port.LastFailureText();
        }
        port.ClosePort();
        EXPECT_EQ(FramesSeen(*board, kTries), static_cast<std::size_t>(kTries));
    }
}

}  // namespace
