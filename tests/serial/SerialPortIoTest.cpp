#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"

namespace {

using testsupport::PseudoTerminal;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr unsigned long kFailure = CSerialPort::kFailure;

milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Waits until the tty's input queue holds `count` bytes, for at most two seconds.
bool WaitForInputQueue(int fd, int count) {
    const auto deadline = Clock::now() + milliseconds(2000);
    int queued = -1;
    while (Clock::now() < deadline) {
        if (ioctl(fd, FIONREAD, &queued) == 0 && queued == count) return true;
        std::this_thread::sleep_for(milliseconds(1));
    }
    return false;
}

class SerialPortIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(port_.InitPort(pty_.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    }
    void TearDown() override { port_.ClosePort(); }

    PseudoTerminal pty_;
    CSerialPort port_;
};

TEST_F(SerialPortIoTest, ReadWaitsForTheTotalWhenNothingArrives) {
    ASSERT_EQ(port_.SetTimeouts(50, 0, 300, 0, 0), 0u);
    char buffer[4];
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadFromPort(buffer, sizeof buffer), 0u);
    const milliseconds took = Since(start);
    EXPECT_GE(took, milliseconds(280));
    EXPECT_LT(took, milliseconds(2000));
}

struct ReadTotalCase {
    unsigned long perByte;
    unsigned long constant;
    unsigned long count;
    long atLeastMs;  // the total of the case: constant + per byte x count
};

class SerialPortReadTotalTest : public SerialPortIoTest,
                                public ::testing::WithParamInterface<ReadTotalCase> {};

// A read of nothing waits out the whole total, which grows with the number of bytes asked.
TEST_P(SerialPortReadTotalTest, SilentReadWaitsConstantPlusPerByteTimesCount) {
    const ReadTotalCase& read = GetParam();
    ASSERT_EQ(port_.SetTimeouts(0, read.perByte, read.constant, 0, 0), 0u);
    char buffer[16];
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadFromPort(buffer, read.count), 0u);
    EXPECT_GE(Since(start), milliseconds(read.atLeastMs - 20));
}

INSTANTIATE_TEST_SUITE_P(Totals, SerialPortReadTotalTest,
                         ::testing::Values(ReadTotalCase{0, 100, 4, 100},
                                           ReadTotalCase{50, 10, 1, 60},
                                           ReadTotalCase{50, 10, 8, 410},
                                           ReadTotalCase{25, 0, 16, 400}));

// The queued input is counted without reading it or waiting for more.
TEST_F(SerialPortIoTest, QueuedInputCountsWhatWaitsAndLeavesIt) {
    ASSERT_EQ(port_.SetTimeouts(10, 0, 100, 0, 0), 0u);
    EXPECT_EQ(port_.QueuedInput(), 0u);
    pty_.Send("abc");
    ASSERT_TRUE(WaitForInputQueue(pty_.slave(), 3));
    EXPECT_EQ(port_.QueuedInput(), 3u);
    char buffer[4] = {};
    EXPECT_EQ(port_.ReadFromPort(buffer, 1), 1u);
    EXPECT_EQ(port_.QueuedInput(), 2u);
    EXPECT_EQ(port_.ReadFromPort(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "bc");
    EXPECT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(port_.QueuedInput(), kFailure);
}

TEST_F(SerialPortIoTest, ReadEndsAfterTheIntervalOnceBytesStopComing) {
    ASSERT_EQ(port_.SetTimeouts(50, 0, 5000, 0, 0), 0u);
    pty_.Send("abc");
    char buffer[10] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadFromPort(buffer, sizeof buffer), 3u);
    EXPECT_LT(Since(start), milliseconds(4000));
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(SerialPortIoTest, ReadReturnsAsSoonAsAllBytesAreIn) {
    ASSERT_EQ(port_.SetTimeouts(5000, 0, 10000, 0, 0), 0u);
    pty_.Send(std::string("\x01\x0A\xFF\x55", 4));
    char buffer[4] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadFromPort(buffer, sizeof buffer), 4u);
    EXPECT_LT(Since(start), milliseconds(2000));
    EXPECT_EQ(std::string(buffer, 4), std::string("\x01\x0A\xFF\x55", 4));
    EXPECT_EQ(port_.ReadFromPort(buffer, 0), 0u);
}

TEST_F(SerialPortIoTest, WriteDiscardsEarlierInputButTheReplyIsRead) {
    ASSERT_EQ(port_.SetTimeouts(100, 100, 100, 100, 100), 0u);
    pty_.Send("stale bytes");
    char request = 0x33;
    ASSERT_EQ(port_.WriteToPort(&request, 1), 1u);
    EXPECT_EQ(pty_.Receive(1), "\x33");
    pty_.Send("\xFF");
    char reply[4] = {};
    EXPECT_EQ(port_.ReadFromPort(reply, 1), 1u);
    EXPECT_EQ(reply[0], '\xFF');
}

TEST_F(SerialPortIoTest, CleanPortDiscardsUnreadInput) {
    ASSERT_EQ(port_.SetTimeouts(10, 0, 100, 0, 0), 0u);
    pty_.Send("noise");
    EXPECT_EQ(port_.CleanPort(), 0u);
    char buffer[8];
    EXPECT_EQ(port_.ReadFromPort(buffer, sizeof buffer), 0u);
}

// The run command is followed at once by purge and close: the byte must still arrive.
TEST_F(SerialPortIoTest, BytesWrittenSurvivePurgeAndClose) {
    ASSERT_EQ(port_.SetTimeouts(100, 100, 100, 100, 100), 0u);
    char run = 0x0F;
    ASSERT_EQ(port_.WriteToPort(&run, 1), 1u);
    EXPECT_EQ(port_.CleanPort(), 0u);
    EXPECT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(pty_.Receive(1), "\x0F");
}

TEST_F(SerialPortIoTest, WriteStopsAtItsTimeoutWhenTheLineIsBlocked) {
    // Nobody reads the board side, so the pseudo-terminal's buffer fills and stays full.
    ASSERT_EQ(port_.SetTimeouts(0, 0, 0, 0, 300), 0u);
    std::string block(1 << 20, 'x');
    const auto start = Clock::now();
    const unsigned long written = port_.WriteToPort(block.data(), block.size());
    EXPECT_LT(Since(start), milliseconds(5000));
    EXPECT_NE(written, kFailure);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, block.size());
}

TEST_F(SerialPortIoTest, AHungUpLineFailsInsteadOfHanging) {
    ASSERT_EQ(port_.SetTimeouts(0, 0, 0, 0, 0), 0u);  // no bound at all
    pty_.CloseMaster();
    char buffer[4];
    EXPECT_EQ(port_.ReadFromPort(buffer, sizeof buffer), kFailure);
    EXPECT_EQ(port_.WriteToPort(buffer, 1), kFailure);
}

TEST_F(SerialPortIoTest, BytesReadBeforeAHangUpAreHandedOver) {
    ASSERT_EQ(port_.SetTimeouts(0, 0, 0, 0, 0), 0u);
    pty_.Send("ab");
    ASSERT_TRUE(WaitForInputQueue(pty_.slave(), 2));
    char buffer[4] = {};
    auto reading =
        std::async(std::launch::async, [&] { return port_.ReadFromPort(buffer, sizeof buffer); });
    // Once the read has taken both bytes and waits for more, the board goes away.
    ASSERT_TRUE(WaitForInputQueue(pty_.slave(), 0));
    pty_.CloseMaster();
    EXPECT_EQ(reading.get(), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ab");
}

}  // namespace
