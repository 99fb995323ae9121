// The board as the host program meets it: through CSerialPort, by COM number, with the
// host's own time-outs.
#include <gtest/gtest.h>

#include "serial/CSerialPort.h"
#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

unsigned long Write(CSerialPort& port, Bytes bytes) {
    return port.WriteToPort(reinterpret_cast<char*>(bytes.data()), bytes.size());
}

Bytes Read(CSerialPort& port, std::size_t count) {
    Bytes reply(count);
    const unsigned long got = port.ReadFromPort(reinterpret_cast<char*>(reply.data()), count);
    reply.resize(got == CSerialPort::kFailure ? 0 : got);
    return reply;
}

TEST(BoardSerialPortTest, HostPortSpeaksToThePublishedBoard) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options();
    options.comNumber = 42;
    options.lineTiming = true;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);

    CSerialPort port;
    ASSERT_EQ(port.InitPort(42u, 115200, 'N', 8, 1, 0, 512), 1);
    ASSERT_EQ(port.SetTimeouts(100, 100, 100, 100, 100), 0u);
    EXPECT_EQ(Write(port, {0x55}), 1u);
    EXPECT_EQ(Read(port, 4), (Bytes{0x55}));
    EXPECT_EQ(Write(port, {0x01, 0xFF, 0x00, 0x00}), 4u);
    EXPECT_EQ(Read(port, 4), (Bytes{0x00, 0x01, 0x01, 0x55}));
    EXPECT_EQ(Write(port, {0x03}), 1u);
    EXPECT_EQ(Read(port, 3), (Bytes{0x01, 0x04, 0x55}));
    EXPECT_EQ(Write(port, {0x33}), 1u);
    EXPECT_EQ(Read(port, 1), (Bytes{0xFF}));
    const Bytes frame = RowFrame(0x0000, RowData(64, 0x31));
    EXPECT_EQ(Write(port, frame), frame.size());
    EXPECT_EQ(Read(port, 1), (Bytes{0x55}));
    EXPECT_EQ(Write(port, {0x0F}), 1u);
    port.ClosePort();
    EXPECT_EQ(board->RowsProgrammed(), 1u);
    EXPECT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
}

}  // namespace
