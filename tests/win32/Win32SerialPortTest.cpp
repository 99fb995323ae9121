#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "protocol/Exchanges.h"
#include "protocol/SerialLine.h"
#include "serial/CSerialPort.h"
#include "tests/support/Wine.h"
#include "tests/win32/BoardPort.h"

namespace {

constexpr unsigned long kFailure = CSerialPort::kFailure;
// A COM number no machine of ours has.
constexpr unsigned kMissingCom = 240;

class Win32SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        com_ = BoardComNumber();
        if (com_ == 0) GTEST_SKIP() << "no virtual board: PELORANT_TEST_COM is not set";
        ASSERT_EQ(Open(port_, com_), 1) << port_.LastFailureText();
    }
    void TearDown() override {
        if (com_ != 0) port_.ClosePort();
    }
    static int Open(CSerialPort& port, unsigned com) {
        return port.InitPort(com, 115200, 'N', 8, 1, 9, 512);
    }
    // The board answers within its own time on a loaded machine: wait up to 2 s for the reply,
    // which a read ends as soon as it is complete.
    void AwaitReplies() { ASSERT_EQ(port_.SetTimeouts(0, 0, 2000, 0, 0), 0u); }
    std::string Exchange(std::string out, unsigned long replyBytes) {
        const auto size = static_cast<unsigned long>(out.size());
        EXPECT_EQ(port_.WriteToPort(out.data(), size), size);
        std::string reply(replyBytes, '\0');
        const unsigned long got = port_.ReadFromPort(reply.data(), replyBytes);
        EXPECT_NE(got, kFailure) << port_.LastFailureText();
        reply.resize(got == kFailure ? 0 : got);
        return reply;
    }

    unsigned com_ = 0;
    CSerialPort port_;
};

TEST_F(Win32SerialPortTest, OpensWithTheLineAndTimeoutsOfTheProgram) {
    EXPECT_EQ(port_.portNumber, com_);
    EXPECT_NE(port_.handle, kNullSerialHandle);
    EXPECT_NE(port_.handle, kInvalidSerialHandle);
    EXPECT_EQ(port_.LastFailure(), SerialFailure::None) << port_.LastFailureText();
    EXPECT_EQ(port_.timeouts.readInterval, 4u);
    EXPECT_EQ(port_.timeouts.readTotalPerByte, 1u);
    EXPECT_EQ(port_.timeouts.readTotalConstant, 4u);
    EXPECT_EQ(port_.timeouts.writeTotalPerByte, 0u);
    EXPECT_EQ(port_.timeouts.writeTotalConstant, 0u);
    EXPECT_EQ(port_.lineSettings.baudRate, 115200u);
    EXPECT_EQ(port_.lineSettings.parity, 'N');
    EXPECT_EQ(port_.lineSettings.dataBits, 8u);
    EXPECT_EQ(port_.lineSettings.stopBits, 1u);
    EXPECT_TRUE(port_.lineSettings.rtsEnable);
    EXPECT_FALSE(port_.lineSettings.abortOnError);
}

TEST_F(Win32SerialPortTest, TheBoardAnswersAndASilentReadIsNoFailure) {
    char byte = 0;
    EXPECT_EQ(port_.ReadFromPort(&byte, 1), 0u);
    AwaitReplies();
    EXPECT_EQ(Exchange("\x55", 1), "\x55");
    bootproto::SerialLine line(port_);
    EXPECT_EQ(bootproto::CheckSynchronism(line), bootproto::ExchangeResult::Passed);
    // Nothing more comes: the time-out ends the read with nothing, which is no failure.
    EXPECT_EQ(port_.ReadFromPort(&byte, 1), 0u);
    EXPECT_EQ(port_.timeouts.readTotalConstant, 2000u);
}

TEST_F(Win32SerialPortTest, AWriteDiscardsWhatArrivedBeforeIt) {
    AwaitReplies();
    char sync = 0x33;
    ASSERT_EQ(port_.WriteToPort(&sync, 1), 1u);
    // Give the board's 0xFF time to arrive; the probe's write must throw it away.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(Exchange("\x55", 2), "\x55");
    EXPECT_EQ(port_.CleanPort(), 0u);
}

TEST_F(Win32SerialPortTest, ASecondOpenIsRefusedAsBusyAndTheFirstGoesOn) {
    AwaitReplies();
    // Opening again through the object that holds the port keeps its handle.
    const SerialHandle held = port_.handle;
    EXPECT_EQ(Open(port_, com_), 0);
    EXPECT_EQ(port_.handle, held);
    EXPECT_EQ(port_.LastFailure(), SerialFailure::Busy);
    EXPECT_EQ(Exchange("\x55", 1), "\x55");
    // Wine's serial devices ignore the share mode; Windows' serial driver refuses a second open.
    if (testsupport::RunningUnderWine()) GTEST_SKIP() << "Wine lets a second handle open the port";
    CSerialPort second;
    EXPECT_EQ(Open(second, com_), 0);
    EXPECT_EQ(second.handle, kInvalidSerialHandle);
    EXPECT_EQ(second.LastFailure(), SerialFailure::Busy) << second.LastFailureText();
    EXPECT_EQ(second.ClosePort(), kFailure);
    EXPECT_EQ(second.LastFailure(), SerialFailure::Busy);
}

TEST_F(Win32SerialPortTest, ClosingAndReopeningRestoresTheTimeouts) {
    ASSERT_EQ(port_.SetTimeouts(1, 2, 3, 4, 5), 0u);
    EXPECT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(port_.handle, kNullSerialHandle);
    EXPECT_EQ(port_.ClosePort(), kFailure);
    ASSERT_EQ(Open(port_, com_), 1);
    EXPECT_EQ(port_.timeouts.readTotalConstant, 4u);
    EXPECT_EQ(port_.timeouts.writeTotalConstant, 0u);
}

struct RefusedCase {
    const char* name;
    unsigned long (*operation)(CSerialPort& port);
};

// Without an open port every operation fails and names its cause; the handle stays as it was.
TEST(Win32SerialPortClosedTest, EveryOperationOnAPortNotOpenFails) {
    const RefusedCase cases[] = {
        {"read",
         [](CSerialPort& port) {
             char byte = 0;
             return port.ReadFromPort(&byte, 1);
         }},
        {"write",
         [](CSerialPort& port) {
             char byte = 0;
             return port.WriteToPort(&byte, 1);
         }},
        {"purge", [](CSerialPort& port) { return port.CleanPort(); }},
        {"time-outs", [](CSerialPort& port) { return port.SetTimeouts(1, 2, 3, 4, 5); }},
        {"close", [](CSerialPort& port) { return port.ClosePort(); }},
    };
    for (const RefusedCase& row : cases) {
        SCOPED_TRACE(row.name);
        CSerialPort fresh;
        EXPECT_EQ(row.operation(fresh), kFailure);
        EXPECT_EQ(fresh.handle, kNullSerialHandle);
        CSerialPort failed;
        EXPECT_EQ(failed.InitPort(kMissingCom, 115200, 'N', 8, 1, 9, 512), 0);
        EXPECT_EQ(failed.LastFailure(), SerialFailure::NotFound) << failed.LastFailureText();
        EXPECT_EQ(row.operation(failed), kFailure);
        EXPECT_EQ(failed.handle, kInvalidSerialHandle);
    }
}

TEST(Win32SerialPortClosedTest, AFileIsNoSerialPort) {
    char path[64] = "win32-serial-test.txt";
    std::FILE* file = std::fopen(path, "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    CSerialPort port;
    EXPECT_EQ(port.InitPort(path, 115200, 'N', 8, 1, 9, 512), 0);
    EXPECT_EQ(port.LastFailure(), SerialFailure::NotATerminal) << port.LastFailureText();
    std::remove(path);
}

}  // namespace
