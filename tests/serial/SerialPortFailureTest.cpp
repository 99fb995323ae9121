#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PseudoTerminal;
using testsupport::TempDir;

constexpr unsigned long kFailure = CSerialPort::kFailure;

int Open(CSerialPort& port, const std::string& path) {
    return port.InitPort(path.c_str(), 115200, 'N', 8, 1, 9, 512);
}

struct FailureCase {
    const char* name;
    // Makes `port` fail once; returns false when the failure could not be provoked.
    std::function<bool(CSerialPort& port, PseudoTerminal& pty, const TempDir& dir)> provoke;
    SerialFailure cause;
    const char* operation;
};

// Each row provokes one failure on a real device or file and names the cause it must leave.
TEST(SerialPortFailureTest, EveryFailureKeepsItsCauseAndText) {
    const FailureCase cases[] = {
        {"missing device",
         [](CSerialPort& port, PseudoTerminal&, const TempDir& dir) {
             return Open(port, (dir.path() / "ttyNONE").string()) == 0;
         },
         SerialFailure::NotFound, "open()"},
        {"plain file",
         [](CSerialPort& port, PseudoTerminal&, const TempDir& dir) {
             return Open(port, dir.Write("plain", "not a tty").string()) == 0;
         },
         SerialFailure::NotATerminal, "open()"},
        {"held by another port object",
         [](CSerialPort& port, PseudoTerminal& pty, const TempDir&) {
             CSerialPort holder;
             if (Open(holder, pty.slavePath()) != 1) return false;
             const bool failed = Open(port, pty.slavePath()) == 0;
             holder.ClosePort();
             return failed;
         },
         SerialFailure::Busy, "open()"},
        {"board hung up during a read",
         [](CSerialPort& port, PseudoTerminal& pty, const TempDir&) {
             if (Open(port, pty.slavePath()) != 1) return false;
             pty.CloseMaster();
             char byte = 0;
             const bool failed = port.ReadFromPort(&byte, 1) == kFailure;
             port.ClosePort();
             return failed;
         },
         SerialFailure::GoneAway, "ReadFile()"},
        {"modem line of a pseudo-terminal, which has none",
         [](CSerialPort& port, PseudoTerminal& pty, const TempDir&) {
             if (Open(port, pty.slavePath()) != 1) return false;
             const bool failed = port.SetModemLine(SerialModemLine::Dtr, true) == kFailure;
             port.ClosePort();
             return failed;
         },
         SerialFailure::NoModemLines, "TIOCMBIS(DTR)"},
        {"writing to a port never opened",
         [](CSerialPort& port, PseudoTerminal&, const TempDir&) {
             char byte = 0;
             return port.WriteToPort(&byte, 1) == kFailure;
         },
         SerialFailure::Other, "WriteFile()"},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        PseudoTerminal pty;
        TempDir dir;
        CSerialPort port;
        EXPECT_EQ(port.LastFailure(), SerialFailure::None);
        ASSERT_TRUE(row.provoke(port, pty, dir));
        EXPECT_EQ(port.LastFailure(), row.cause);
        EXPECT_NE(port.LastSystemError(), 0);
        const std::string text = port.LastFailureText();
        EXPECT_EQ(text.rfind(std::string(row.operation) + " failed: ", 0), 0u) << text;
        EXPECT_GT(text.size(), std::string(row.operation).size() + 9) << text;
    }
}

TEST(SerialPortFailureTest, ASuccessfulOpenForgetsTheEarlierFailureAndCopiesCarryIt) {
    PseudoTerminal pty;
    TempDir dir;
    CSerialPort port;
    ASSERT_EQ(Open(port, (dir.path() / "ttyNONE").string()), 0);
    // The usual clean-up after a failed open keeps the open's cause.
    EXPECT_EQ(port.ClosePort(), kFailure);
    CSerialPort copy;
    copy = port;
    EXPECT_EQ(copy.LastFailure(), SerialFailure::NotFound);
    EXPECT_STREQ(copy.LastFailureText(), port.LastFailureText());

    // A pseudo-terminal has no modem lines, so asserting RTS may fail and be kept as the new
    // cause; the failed open before it must be gone either way.
    ASSERT_EQ(Open(port, pty.slavePath()), 1);
    EXPECT_NE(port.LastFailure(), SerialFailure::NotFound);
    EXPECT_EQ(std::string(port.LastFailureText()).rfind("open()", 0), std::string::npos);
    EXPECT_EQ(port.ClosePort(), 0u);
}

}  // namespace
