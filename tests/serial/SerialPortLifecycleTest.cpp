#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <filesystem>

#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PseudoTerminal;
using testsupport::ScopedEnv;
using testsupport::TempDir;

constexpr unsigned long kFailure = CSerialPort::kFailure;

// Every test gets its own port directory, so COM numbers never reach the machine's ports.
class SerialPortLifecycleTest : public ::testing::Test {
protected:
    void LinkComPort(unsigned number, const std::filesystem::path& target) {
        const std::filesystem::path ports = config_.path() / "lunvik/ports";
        std::filesystem::create_directories(ports);
        std::filesystem::create_symlink(target, ports / ("COM" + std::to_string(number)));
    }
    int Open(CSerialPort& port, unsigned number) {
        return port.InitPort(number, 115200, 'N', 8, 1, 9, 512);
    }

    TempDir config_;
    ScopedEnv xdg_{"XDG_CONFIG_HOME", config_.path().string()};
    PseudoTerminal pty_;
};

TEST_F(SerialPortLifecycleTest, FreshObjectIsNullAndRefusesEveryOperation) {
    CSerialPort port;
    char byte = 0;
    EXPECT_EQ(port.handle, kNullSerialHandle);
    EXPECT_EQ(port.logStream, nullptr);
    EXPECT_EQ(port.ClosePort(), kFailure);
    EXPECT_EQ(port.handle, kNullSerialHandle);
    EXPECT_EQ(port.ReadFromPort(&byte, 1), kFailure);
    EXPECT_EQ(port.WriteToPort(&byte, 1), kFailure);
    EXPECT_EQ(port.CleanPort(), kFailure);
    EXPECT_EQ(port.SetTimeouts(1, 2, 3, 4, 5), kFailure);
    EXPECT_EQ(port.timeouts.writeTotalConstant, 5u);
}

TEST_F(SerialPortLifecycleTest, OpensByComNumberClosesAndReopens) {
    LinkComPort(7, pty_.slavePath());
    CSerialPort port;
    ASSERT_EQ(Open(port, 7), 1);
    EXPECT_EQ(port.portNumber, 7u);
    EXPECT_GT(port.handle, 0);
    int exclusive = 0;
    ASSERT_EQ(ioctl(pty_.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);

    EXPECT_EQ(port.ClosePort(), 0u);
    EXPECT_EQ(port.handle, kNullSerialHandle);
    EXPECT_EQ(port.ClosePort(), kFailure);
    // The tty outlives our descriptor here (the test holds it): the flag must not linger.
    ASSERT_EQ(ioctl(pty_.slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);

    ASSERT_EQ(Open(port, 7), 1);
    EXPECT_EQ(port.ClosePort(), 0u);
}

TEST_F(SerialPortLifecycleTest, MissingDevicesAndNonTerminalsGiveTheInvalidHandle) {
    LinkComPort(3, config_.path() / "no-such-device");
    LinkComPort(4, config_.Write("plain-file", "not a tty"));
    CSerialPort port;
    EXPECT_EQ(Open(port, 3), 0);
    EXPECT_EQ(port.handle, kInvalidSerialHandle);
    EXPECT_EQ(port.portNumber, 3u);
    EXPECT_EQ(port.ClosePort(), kFailure);
    EXPECT_EQ(port.handle, kInvalidSerialHandle);

    EXPECT_EQ(Open(port, 4), 0);
    EXPECT_EQ(Open(port, 99), 0);
    EXPECT_EQ(port.InitPort(static_cast<const char*>(nullptr), 9600, 'N', 8, 1, 9, 512), 0);
    EXPECT_EQ(port.InitPort("", 9600, 'N', 8, 1, 9, 512), 0);
    EXPECT_EQ(port.handle, kInvalidSerialHandle);
}

TEST_F(SerialPortLifecycleTest, PortIsExclusive) {
    CSerialPort first;
    CSerialPort second;
    ASSERT_EQ(first.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 1);
    EXPECT_EQ(first.portNumber, 0u);
    EXPECT_EQ(second.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 0);
    EXPECT_EQ(second.handle, kInvalidSerialHandle);

    // A second open through the same object fails too, and keeps the open port closable.
    const SerialHandle held = first.handle;
    EXPECT_EQ(first.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 0);
    EXPECT_EQ(first.handle, held);
    EXPECT_EQ(first.ClosePort(), 0u);

    EXPECT_EQ(second.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 1);
    EXPECT_EQ(second.ClosePort(), 0u);
}

TEST_F(SerialPortLifecycleTest, InitPortSetsTheOpeningTimeoutsEveryTime) {
    CSerialPort port;
    ASSERT_EQ(port.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 1);
    auto expectOpening = [&port] {
        EXPECT_EQ(port.timeouts.readInterval, 4u);
        EXPECT_EQ(port.timeouts.readTotalPerByte, 1u);
        EXPECT_EQ(port.timeouts.readTotalConstant, 4u);
        EXPECT_EQ(port.timeouts.writeTotalPerByte, 0u);
        EXPECT_EQ(port.timeouts.writeTotalConstant, 0u);
    };
    expectOpening();
    EXPECT_EQ(port.SetTimeouts(100, 100, 100, 100, 100), 0u);
    EXPECT_EQ(port.timeouts.readInterval, 100u);
    EXPECT_EQ(port.timeouts.writeTotalConstant, 100u);
    ASSERT_EQ(port.ClosePort(), 0u);
    ASSERT_EQ(port.InitPort(pty_.slavePath().c_str(), 9600, 'N', 8, 1, 9, 512), 1);
    expectOpening();
    EXPECT_EQ(port.ClosePort(), 0u);
}

}  // namespace
