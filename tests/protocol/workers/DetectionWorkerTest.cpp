#include <chrono>

#include "app/BootloaderApp.h"
#include "protocol/ResetSequence.h"
#include "tests/protocol/workers/DetectionWorkerFixture.h"

namespace {

using namespace std::chrono_literals;
using workertest::DetectionWorkerTest;

TEST_F(DetectionWorkerTest, SynchronisesAndStoresTheIdentifier) {
    StartBoard(DefaultOptions());
    EXPECT_EQ(Detect(), Code(DetectionResult::Synchronised));
    EXPECT_EQ(theApp().m_deviceId[0], workertest::kIdHigh);
    EXPECT_EQ(theApp().m_deviceId[1], workertest::kIdLow);
    std::vector<ReceivedFrame> frames = board_->Frames();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames.back().bytes, (std::vector<std::uint8_t>{0x01, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(FramesStartingWith(0x55), frames.size() - 1);
}

TEST_F(DetectionWorkerTest, NoiseAroundTheProbeReplyStillSynchronises) {
    BoardOptions options = DefaultOptions();
    options.faults.noisyProbe = true;
    StartBoard(options);
    EXPECT_EQ(Detect(), Code(DetectionResult::Synchronised));
    EXPECT_EQ(theApp().m_deviceId[1], workertest::kIdLow);
}

TEST_F(DetectionWorkerTest, NoiseOnlyKeepsProbingUntilStopped) {
    BoardOptions options = DefaultOptions();
    options.faults.noiseOnlyProbe = true;
    StartBoard(options);
    EXPECT_EQ(Detect(700ms), Code(DetectionResult::Stopped));
    EXPECT_GE(FramesStartingWith(0x55), 2u);
    EXPECT_EQ(FramesStartingWith(0x01), 0u);
}

TEST_F(DetectionWorkerTest, SilentBoardEndsStopped) {
    BoardOptions options = DefaultOptions();
    options.faults.silent = true;
    StartBoard(options);
    EXPECT_EQ(Detect(300ms), Code(DetectionResult::Stopped));
    EXPECT_EQ(FramesStartingWith(0x01), 0u);
}

TEST_F(DetectionWorkerTest, ShortIdentificationReplyIsATimeout) {
    BoardOptions options = DefaultOptions();
    options.faults.shortIdentify = true;
    StartBoard(options);
    theApp().m_deviceId[0] = 0x77;
    EXPECT_EQ(Detect(), Code(DetectionResult::Timeout));
    EXPECT_EQ(theApp().m_deviceId[0], 0x77) << "a short reply stores nothing";
}

struct CodeCase {
    const char* name;
    BoardFaults faults;
    unsigned lineBaud;  // 0: no line timing
    int code;
    std::size_t identifyRequests;  // identification requests the board saw
};

class DetectionCodeTest : public DetectionWorkerTest,
                          public ::testing::WithParamInterface<CodeCase> {};

// Each code comes from its own cause, without waiting for the window's time limit.
TEST_P(DetectionCodeTest, ReportsTheCodeOfTheCause) {
    const CodeCase& entry = GetParam();
    BoardOptions options = DefaultOptions();
    options.faults = entry.faults;
    options.lineTiming = entry.lineBaud != 0;
    if (options.lineTiming) options.baud = entry.lineBaud;
    StartBoard(options);
    EXPECT_EQ(Detect(), entry.code);
    EXPECT_EQ(FramesStartingWith(0x01), entry.identifyRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, DetectionCodeTest,
    ::testing::Values(
        // No probe byte goes out at all: -1.
        CodeCase{"probe_not_sent", {.stallAfterProbes = 0}, 0, Code(DetectionResult::Timeout), 0},
        // The probe is answered, then the board takes no byte: the request comes out short.
        CodeCase{"identify_request_short",
                 {.stallAfterProbes = 1},
                 0,
                 Code(DetectionResult::WriteError),
                 0},
        CodeCase{"port_vanishes", {.vanishAtProbe = 0}, 0, Code(DetectionResult::PortLost), 0},
        // The probe's echo passes for the board's 55; the request's echo cannot pass for an id.
        CodeCase{"adapter_echoes", {.echo = true}, 0, Code(DetectionResult::AdapterEcho), 1},
        CodeCase{"adapter_echoes_slow_line",
                 {.echo = true},
                 9600,
                 Code(DetectionResult::AdapterEcho),
                 1},
        CodeCase{"loop_back_plug",
                 {.silent = true, .echo = true},
                 0,
                 Code(DetectionResult::AdapterEcho),
                 1},
        // Noise before the reply shifts the id; nothing on the line can tell (the write shows
        // the id it found before it starts).
        CodeCase{"noise_before_the_reply",
                 {.noisyIdentify = true},
                 0,
                 Code(DetectionResult::Synchronised),
                 1},
        // 33 ms a byte: within the exchange time-outs of 100 ms, not within shorter ones.
        CodeCase{"slow_line", {}, 300, Code(DetectionResult::Synchronised), 1}),
    [](const auto& entry) { return std::string(entry.param.name); });

// The first probe finds no bootloader, and the board's port has no modem lines: the detection
// ends at once instead of probing on to the time limit.
TEST_F(DetectionWorkerTest, ResetThatCannotBePlayedEndsTheDetection) {
    BoardOptions options = DefaultOptions();
    options.faults.silent = true;
    StartBoard(options);
    const auto sequence = bootproto::ParseResetSequence("dtr", nullptr);
    ASSERT_TRUE(sequence);
    theApp().m_detectionParam.reset = &*sequence;
    const int result = Detect();
    theApp().m_detectionParam.reset = nullptr;
    EXPECT_EQ(result, Code(DetectionResult::ResetFailed));
    // The board reads the probe in its own time.
    for (int wait = 0; wait < 200 && FramesStartingWith(0x55) == 0; ++wait) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(FramesStartingWith(0x55), 1u);
    EXPECT_EQ(FramesStartingWith(0x01), 0u);
}

TEST_F(DetectionWorkerTest, PortThatIsNotOpenEndsStoppedWithoutHanging) {
    EXPECT_EQ(Detect(300ms), Code(DetectionResult::Stopped));
}

}  // namespace
