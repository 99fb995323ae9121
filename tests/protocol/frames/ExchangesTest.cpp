#include <gtest/gtest.h>

#include <future>
#include <string>

#include "protocol/Exchanges.h"
#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"

namespace {

using testsupport::PseudoTerminal;

class ExchangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(port_.InitPort(pty_.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
        ASSERT_EQ(port_.SetTimeouts(100, 100, 100, 100, 100), 0u);
    }
    void TearDown() override { port_.ClosePort(); }

    // Runs the synchronism check while the board answers the request with `reply`.
    bool SynchronismWithReply(const std::string& reply) {
        auto check =
            std::async(std::launch::async, [this] { return bootproto::CheckSynchronism(port_); });
        EXPECT_EQ(pty_.Receive(1), "\x33");
        if (!reply.empty()) pty_.Send(reply);
        return check.get();
    }

    PseudoTerminal pty_;
    CSerialPort port_;
};

TEST_F(ExchangesTest, SynchronismCheckNeedsExactlyTheByteFF) {
    EXPECT_TRUE(SynchronismWithReply("\xFF"));
    EXPECT_FALSE(SynchronismWithReply("\x55"));
    EXPECT_FALSE(SynchronismWithReply(""));
}

TEST_F(ExchangesTest, RunUserProgramSendsOneByteAndReadsNothing) {
    pty_.Send("\xFF");
    EXPECT_TRUE(bootproto::SendRunUserProgram(port_));
    EXPECT_EQ(port_.CleanPort(), 0u);
    EXPECT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(pty_.Receive(2, std::chrono::milliseconds(200)), "\x0F");
}

// A failed write returns the failure value, which must not pass for a byte sent.
TEST_F(ExchangesTest, AClosedPortFailsBothExchanges) {
    ASSERT_EQ(port_.ClosePort(), 0u);
    EXPECT_FALSE(bootproto::CheckSynchronism(port_));
    EXPECT_FALSE(bootproto::SendRunUserProgram(port_));
    EXPECT_EQ(pty_.Receive(1, std::chrono::milliseconds(100)), "");
}

}  // namespace
