#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <string>

#include "protocol/Exchanges.h"
#include "protocol/SerialLine.h"
#include "serial/CSerialPort.h"
#include "tests/serial/PseudoTerminal.h"

namespace {

using bootproto::ExchangeResult;
using testsupport::PseudoTerminal;

class ExchangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(port_.InitPort(pty_.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
        ASSERT_EQ(port_.SetTimeouts(100, 100, 100, 100, 100), 0u);
    }
    void TearDown() override { port_.ClosePort(); }

    PseudoTerminal pty_;
    CSerialPort port_;
    bootproto::SerialLine line_{port_};
};

struct SyncCase {
    const char* name;
    std::optional<std::string> reply;  // none: the board hangs up instead of answering
    ExchangeResult expected;
};

class SynchronismTest : public ExchangesTest, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(SynchronismTest, PassesOnlyOnTheByteFFAndTellsAPortThatWentAway) {
    auto check =
        std::async(std::launch::async, [this] { return bootproto::CheckSynchronism(line_); });
    EXPECT_EQ(pty_.Receive(1), "\x33");
    if (!GetParam().reply) {
        pty_.CloseMaster();
    } else if (!GetParam().reply->empty()) {
        pty_.Send(*GetParam().reply);
    }
    EXPECT_EQ(check.get(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Replies, SynchronismTest,
                         ::testing::Values(SyncCase{"ff", "\xFF", ExchangeResult::Passed},
                                           SyncCase{"other_byte", "\x55", ExchangeResult::Failed},
                                           SyncCase{"no_reply", "", ExchangeResult::Failed},
                                           SyncCase{"hung_up", std::nullopt,
                                                    ExchangeResult::PortLost}),
                         [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(ExchangesTest, RunUserProgramSendsOneByteAndReadsNothing) {
    pty_.Send("\xFF");
    EXPECT_EQ(bootproto::SendRunUserProgram(line_), ExchangeResult::Passed);
    EXPECT_EQ(port_.CleanPort(), 0u);
    EXPECT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(pty_.Receive(2, std::chrono::milliseconds(200)), "\x0F");
}

TEST_F(ExchangesTest, RunUserProgramOnAHungUpLineTellsThePortWentAway) {
    pty_.CloseMaster();
    EXPECT_EQ(bootproto::SendRunUserProgram(line_), ExchangeResult::PortLost);
}

// A failed write returns the failure value, which must not pass for a byte sent.
TEST_F(ExchangesTest, AClosedPortFailsBothExchanges) {
    ASSERT_EQ(port_.ClosePort(), 0u);
    EXPECT_EQ(bootproto::CheckSynchronism(line_), ExchangeResult::Failed);
    EXPECT_EQ(bootproto::SendRunUserProgram(line_), ExchangeResult::Failed);
    EXPECT_EQ(pty_.Receive(1, std::chrono::milliseconds(100)), "");
}

}  // namespace
