// The bootloader's replies to each exchange, its faults and its reset window, seen from a
// host on the pseudo-terminal.
#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

class BoardExchangeTest : public ::testing::Test {
protected:
    BoardFixture fixture;
};

TEST_F(BoardExchangeTest, AnswersEveryExchangeAndRecordsEveryFrame) {
    BoardOptions options = fixture.Options("TestPic");
    options.firmwareMajor = 2;
    options.firmwareMinor = 7;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_TRUE(host.IsOpen());

    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange({0x01, 0xFF, 0x00, 0x00}, 4), (Bytes{0x00, 0x01, 0x01, 0x55}));
    EXPECT_EQ(host.Exchange({0x03}, 3), (Bytes{2, 7, 0x55}));
    EXPECT_EQ(host.Exchange({0x33}, 1), (Bytes{0xFF}));
    EXPECT_EQ(host.Exchange({0x01, 0x00, 0x01, 0x00}, 1), (Bytes{0xE6}));
    EXPECT_TRUE(host.Exchange({0x77}, 1, 150ms).empty()) << "unknown bytes are ignored";
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));

    const auto frames = board->Frames();
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(frames[1].bytes, (Bytes{0x01, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(frames[5].bytes, (Bytes{0x77}));
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GE(frames[i].seconds, frames[i - 1].seconds);
    }
    EXPECT_FALSE(board->UserProgramRunning());
}

TEST_F(BoardExchangeTest, HostsComingAndGoingNeverHangUpTheBoard) {
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    for (int round = 0; round < 3; ++round) {
        HostLine host(board->DevicePath());
        EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55})) << "round " << round;
    }
}

TEST_F(BoardExchangeTest, RunCommandStartsTheUserProgramUntilReset) {
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    ASSERT_TRUE(host.Send({0x0F}));
    EXPECT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
    EXPECT_TRUE(host.Exchange({0x55}, 1, 200ms).empty());
    EXPECT_TRUE(host.Exchange({0x33}, 1, 150ms).empty());

    board->Reset();
    EXPECT_FALSE(board->UserProgramRunning());
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
}

TEST_F(BoardExchangeTest, ListenWindowClosesWithoutAProbeAndReopensOnReset) {
    BoardOptions options = fixture.Options();
    options.listenWindow = 100ms;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
    EXPECT_TRUE(host.Exchange({0x55}, 1, 200ms).empty());

    // A probe inside the window keeps the bootloader listening after the window.
    board->Reset();
    ASSERT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    std::this_thread::sleep_for(150ms);
    EXPECT_FALSE(board->UserProgramRunning());
    EXPECT_EQ(host.Exchange({0x33}, 1), (Bytes{0xFF}));
}

struct ResetLineCase {
    const char* name;
    std::optional<SerialModemLine> resetLine;
    bool inverted;
    std::vector<std::pair<SerialModemLine, bool>> levels;  // what the host drives, in order
    bool reset;                                            // the bootloader answers again
};

// The user program runs; the host then drives the lines, and the board is reset only by a
// pulse of its own reset line.
TEST_F(BoardExchangeTest, ResetsOnAPulseOfItsResetLine) {
    constexpr auto kDtr = SerialModemLine::Dtr;
    constexpr auto kRts = SerialModemLine::Rts;
    const ResetLineCase cases[] = {
        {"DTR pulse", kDtr, false, {{kDtr, true}, {kDtr, false}}, true},
        {"DTR held asserted", kDtr, false, {{kDtr, true}}, false},
        {"the other line pulsed", kDtr, false, {{kRts, true}, {kRts, false}}, false},
        {"inverted DTR pulse", kDtr, true, {{kDtr, false}, {kDtr, true}}, true},
        {"inverted DTR held released", kDtr, true, {{kDtr, true}, {kDtr, false}}, false},
        {"RTS pulse", kRts, false, {{kRts, true}, {kRts, false}}, true},
        {"no reset line", std::nullopt, false, {{kDtr, true}, {kDtr, false}}, false},
    };
    for (const ResetLineCase& row : cases) {
        SCOPED_TRACE(row.name);
        BoardOptions options = fixture.Options();
        options.resetLine = row.resetLine;
        options.resetLineInverted = row.inverted;
        auto board = fixture.Start(options);
        ASSERT_TRUE(board);
        HostLine host(board->DevicePath());
        ASSERT_TRUE(host.Send({0x0F}));
        ASSERT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
        for (const auto& [line, asserted] : row.levels) board->SetModemLine(line, asserted);
        EXPECT_EQ(host.Exchange({0x55}, 1, 300ms), row.reset ? Bytes{0x55} : Bytes{});
    }
}

TEST_F(BoardExchangeTest, UserProgramTalksUntilReset) {
    BoardOptions options = fixture.Options();
    options.programSays = "hello";
    options.talkEvery = 50ms;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_TRUE(host.Read(1, 200ms).empty()) << "the bootloader says nothing of its own";
    ASSERT_TRUE(host.Send({0x0F}));
    const Bytes said{'h', 'e', 'l', 'l', 'o', '\r', '\n'};
    EXPECT_EQ(host.Read(7), said);
    EXPECT_EQ(host.Read(7), said);
    board->Reset();
    host.Read(7, 100ms);  // what was on its way at the reset
    EXPECT_TRUE(host.Read(1, 300ms).empty());
}

struct FaultCase {
    const char* name;
    BoardFaults faults;
    Bytes request;
    std::size_t replyLength;
    Bytes expected;
    bool hangsUp = false;  // the board closes the line instead of answering
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

class BoardFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(BoardFaultTest, PlaysTheFault) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options();
    options.faults = GetParam().faults;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(GetParam().request, GetParam().replyLength, 200ms),
              GetParam().expected);
    EXPECT_EQ(board->Frames().size(), 1u) << "what the host sent is recorded all the same";
    EXPECT_EQ(host.HungUp(GetParam().hangsUp ? 2000ms : 100ms), GetParam().hangsUp);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BoardFaultTest,
    ::testing::Values(
        FaultCase{"silent_probe", {.silent = true}, {0x55}, 4, {}},
        FaultCase{"silent_identify", {.silent = true}, {0x01, 0xFF, 0, 0}, 4, {}},
        FaultCase{"noisy_probe", {.noisyProbe = true}, {0x55}, 4, {0x8A, 0x00, 0x55, 0xF3}},
        FaultCase{
            "noise_only_probe", {.noiseOnlyProbe = true}, {0x55}, 4, {0x8A, 0x00, 0xAA, 0xF3}},
        FaultCase{
            "short_identify", {.shortIdentify = true}, {0x01, 0xFF, 0, 0}, 4, {0x00, 0x01, 0x01}},
        FaultCase{"noisy_identify",
                  {.noisyIdentify = true},
                  {0x01, 0xFF, 0, 0},
                  6,
                  {0x13, 0x01, 0x00, 0x01, 0x01, 0x55}},
        FaultCase{"bad_version", {.badVersionAck = true}, {0x03}, 3, {0x01, 0x04, 0xAA}},
        FaultCase{"no_sync", {.noSync = true}, {0x33}, 1, {}},
        FaultCase{"echo_before_the_answer", {.echo = true}, {0x55}, 2, {0x55, 0x55}},
        FaultCase{"echo_of_the_identification",
                  {.echo = true},
                  {0x01, 0xFF, 0, 0},
                  8,
                  {0x01, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x01, 0x55}},
        FaultCase{"loop_back_plug",
                  {.silent = true, .echo = true},
                  {0x01, 0xFF, 0, 0},
                  8,
                  {0x01, 0xFF, 0x00, 0x00}},
        FaultCase{"vanish_at_version", {.vanishAtVersion = true}, {0x03}, 3, {}, true},
        FaultCase{"vanish_at_sync", {.vanishAtSync = true}, {0x33}, 1, {}, true}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
