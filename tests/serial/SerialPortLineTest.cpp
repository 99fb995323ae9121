#include <gtest/gtest.h>
#include <termios.h>

#include <cctype>
#include <string>

#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"

namespace {

using testsupport::KernelLineSpeed;
using testsupport::PseudoTerminal;

struct LineCase {
    unsigned baud;
    char parity;
    unsigned dataBits;
    unsigned stopBits;
    tcflag_t parityFlags;
};

std::string LineCaseName(const ::testing::TestParamInfo<LineCase>& info) {
    const LineCase& line = info.param;
    return std::to_string(line.baud) + "_" + line.parity + std::to_string(line.dataBits) +
           std::to_string(line.stopBits);
}

class SerialPortLineTest : public ::testing::TestWithParam<LineCase> {
protected:
    termios SlaveSettings() {
        termios line{};
        EXPECT_EQ(tcgetattr(pty_.slave(), &line), 0);
        return line;
    }
    PseudoTerminal pty_;
};

TEST_P(SerialPortLineTest, AppliesTheModeToARawLineWithoutFlowControl) {
    const LineCase& line = GetParam();
    // A pseudo-terminal starts without hang-up on close and flow control: set both, so that
    // seeing them cleared means the port cleared them.
    termios before = SlaveSettings();
    before.c_cflag |= HUPCL | CRTSCTS;
    ASSERT_EQ(tcsetattr(pty_.slave(), TCSANOW, &before), 0);
    ASSERT_EQ(SlaveSettings().c_cflag & HUPCL, static_cast<tcflag_t>(HUPCL));
    CSerialPort port;
    ASSERT_EQ(port.InitPort(pty_.slavePath().c_str(), line.baud, line.parity, line.dataBits,
                            line.stopBits, 9, 512),
              1);
    const termios applied = SlaveSettings();
    // A pseudo-terminal always keeps 8 bits without parity; the parity kind and the stop
    // bits it does keep.
    EXPECT_EQ(applied.c_cflag & (PARODD | CMSPAR), line.parityFlags & (PARODD | CMSPAR));
    EXPECT_EQ(port.lineSettings.parity, std::toupper(line.parity));
    EXPECT_EQ(port.lineSettings.dataBits, line.dataBits);
    EXPECT_EQ(port.lineSettings.stopBits, line.stopBits);
    EXPECT_EQ((applied.c_cflag & CSTOPB) != 0, line.stopBits == 2);
    EXPECT_EQ(applied.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(applied.c_cflag & (CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(applied.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(applied.c_oflag & OPOST, 0u);
    EXPECT_EQ(applied.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(KernelLineSpeed(pty_.slave()), line.baud);
    EXPECT_EQ(port.lineSettings.baudRate, line.baud);
    EXPECT_TRUE(port.lineSettings.rtsEnable);
    EXPECT_FALSE(port.lineSettings.abortOnError);
    EXPECT_EQ(port.ClosePort(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SerialPortLineTest,
    ::testing::Values(LineCase{115200, 'N', 8, 1, 0}, LineCase{9600, 'E', 7, 2, PARENB},
                      LineCase{19200, 'o', 6, 1, PARENB | PARODD},
                      LineCase{57600, 'M', 5, 1, PARENB | PARODD | CMSPAR},
                      LineCase{38400, 'S', 8, 2, PARENB | CMSPAR},
                      // Not a standard rate: set through the kernel's arbitrary-rate interface.
                      LineCase{250000, 'N', 8, 1, 0}),
    LineCaseName);

// A mode the line cannot take is a configuration failure: the port is open all the same and
// keeps the settings it had.
TEST(SerialPortBadModeTest, RefusedModesLeaveThePortOpenAndUnchanged) {
    PseudoTerminal pty;
    const unsigned long before = KernelLineSpeed(pty.slave());
    struct BadMode {
        unsigned baud;
        char parity;
        unsigned dataBits;
        unsigned stopBits;
    };
    for (const BadMode& mode :
         {BadMode{9600, 'X', 8, 1}, BadMode{9600, 'N', 9, 1}, BadMode{9600, 'N', 8, 3},
          BadMode{0, 'N', 8, 1}, BadMode{9600, '\0', 8, 1}}) {
        CSerialPort port;
        ASSERT_EQ(port.InitPort(pty.slavePath().c_str(), mode.baud, mode.parity, mode.dataBits,
                                mode.stopBits, 9, 512),
                  1);
        EXPECT_EQ(KernelLineSpeed(pty.slave()), before);
        EXPECT_EQ(port.lineSettings.baudRate, before);
        char byte = 'x';
        EXPECT_EQ(port.WriteToPort(&byte, 1), 1u);
        EXPECT_EQ(port.ClosePort(), 0u);
    }
}

}  // namespace
