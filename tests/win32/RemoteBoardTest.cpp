// Windows programs get their virtual boards from pelorant-board-host on the Linux side of
// Wine: a board is a COM port for as long as the program holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "serial/CSerialPort.h"
#include "tests/support/TestSupport.h"
#include "tools/sim/BoardHostWire.h"
#include "tools/sim/VirtualBoard.h"

namespace {

BoardOptions Dspic30F4011() {
    BoardOptions options;
    options.cataloguePath = PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml";
    options.device = "dsPIC30F4011";
    return options;
}

std::string Exchange(CSerialPort& port, std::string out, unsigned long replyBytes) {
    const auto size = static_cast<unsigned long>(out.size());
    EXPECT_EQ(port.WriteToPort(out.data(), size), size) << port.LastFailureText();
    std::string reply(replyBytes, '\0');
    const unsigned long got = port.ReadFromPort(reply.data(), replyBytes);
    reply.resize(got == CSerialPort::kFailure ? 0 : got);
    return reply;
}

bool Eventually(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(RemoteBoard, IsAComPortThatSeesAndKeepsWhatTheProgramSends) {
    std::string error;
    auto board = VirtualBoard::Start(Dspic30F4011(), &error);
    ASSERT_TRUE(board) << error;
    EXPECT_EQ(board->DevicePath(), "\\\\.\\COM" + std::to_string(board->ComNumber()));

    CSerialPort port;
    ASSERT_EQ(port.InitPort(board->DevicePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1)
        << port.LastFailureText();
    ASSERT_EQ(port.SetTimeouts(0, 0, 2000, 0, 0), 0u);
    EXPECT_EQ(Exchange(port, "\x55", 1), "\x55");
    EXPECT_EQ(Exchange(port, std::string("\x01\xFF\x00\x00", 4), 4),
              std::string("\x00\x01\x01\x55", 4));
    const std::vector<ReceivedFrame> frames = board->Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].bytes, (std::vector<std::uint8_t>{0x01, 0xFF, 0x00, 0x00}));
    EXPECT_LE(frames[0].seconds, frames[1].seconds);
    EXPECT_EQ(board->Word(0x0000), 0xFFFF);
    EXPECT_FALSE(board->Word(0xFFFFFF));
    EXPECT_TRUE(board->InsideBootloader(0x7C00));
    EXPECT_EQ(board->RowsProgrammed(), 0u);

    EXPECT_EQ(Exchange(port, "\x0F", 0), "");
    EXPECT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
    board->Reset();
    EXPECT_FALSE(board->UserProgramRunning());

    testsupport::TempDir dir;
    EXPECT_TRUE(board->DumpHex((dir.path() / "dump.hex").string()));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "dump.hex"));

    const std::string path = board->DevicePath();
    port.ClosePort();
    board.reset();
    EXPECT_EQ(port.InitPort(path.c_str(), 115200, 'N', 8, 1, 9, 512), 0)
        << "the port outlived its board";
}

TEST(RemoteBoard, RefusalsSayWhy) {
    struct Row {
        const char* name;
        const char* host;  // nullptr: the test run's own
        std::string device;
        const char* says;
    };
    const Row rows[] = {
        {"no host", "", "dsPIC30F4011", "no board host"},
        {"host away", "127.0.0.1:1", "dsPIC30F4011", "cannot reach the board host"},
        {"unknown device", nullptr, "dsPIC99F9999", "the board host: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::optional<testsupport::ScopedEnv> host;
        if (row.host) host.emplace(boardhost::kHostVariable, std::string(row.host));
        BoardOptions options = Dspic30F4011();
        options.device = row.device;
        std::string error;
        EXPECT_FALSE(VirtualBoard::Start(options, &error));
        EXPECT_NE(error.find(row.says), std::string::npos) << error;
    }
}

}  // namespace
