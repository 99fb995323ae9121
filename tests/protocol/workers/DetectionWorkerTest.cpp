#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <thread>

#include "app/BootloaderApp.h"
#include "protocol/Workers.h"
#include "tests/protocol/workers/WorkerTestSupport.h"

namespace {

using namespace std::chrono_literals;
using workertest::BoardTest;

class DetectionWorkerTest : public BoardTest {
protected:
    // Runs one detection; when `stopAfter` is given the window's time limit runs out then.
    int Detect(std::optional<std::chrono::milliseconds> stopAfter = std::nullopt) {
        DetectionThreadParam& param = theApp().m_detectionParam;
        param.notifyWindow = &queue_;
        param.stop = 0;
        WorkerThread worker;
        EXPECT_TRUE(worker.Start([] { DetectionWorker(theApp().Engine()); }));
        if (stopAfter) {
            std::this_thread::sleep_for(*stopAfter);
            param.stop = 1;
        }
        std::optional<WindowMessage> result = queue_.Wait(10s);
        // A worker that has not reported by now is stopped, so that the test ends.
        param.stop = 1;
        worker.Join();
        EXPECT_FALSE(queue_.TryTake()) << "exactly one result per run";
        if (!result) return INT_MIN;
        EXPECT_EQ(result->message, kMsgDetectionFinished);
        return static_cast<int>(result->wParam);
    }

    std::size_t FramesStartingWith(std::uint8_t command) const {
        std::size_t count = 0;
        for (const ReceivedFrame& frame : board_->Frames()) {
            if (!frame.bytes.empty() && frame.bytes[0] == command) ++count;
        }
        return count;
    }
};

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
        // 33 ms a byte: within the exchange time-outs of 100 ms, not within shorter ones.
        CodeCase{"slow_line", {}, 300, Code(DetectionResult::Synchronised), 1}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(DetectionWorkerTest, PortThatIsNotOpenEndsStoppedWithoutHanging) {
    EXPECT_EQ(Detect(300ms), Code(DetectionResult::Stopped));
}

// A line partner that sets the stop flag while the probe is on the line and only then
// answers it with 0x55.
TEST_F(DetectionWorkerTest, StopDuringASynchronisedAttemptWins) {
    int master = -1;
    int slave = -1;
    char slaveName[128] = {};
    ASSERT_EQ(openpty(&master, &slave, slaveName, nullptr, nullptr), 0);
    ASSERT_EQ(theApp().m_serialPort.InitPort(slaveName, 115200, 'N', 8, 1, 9, 512), 1);

    std::atomic<bool> done{false};
    std::atomic<int> probesAnswered{0};
    std::thread partner([&] {
        while (!done.load()) {
            pollfd readable{master, POLLIN, 0};
            if (poll(&readable, 1, 20) <= 0) continue;
            unsigned char byte = 0;
            if (read(master, &byte, 1) != 1) continue;
            if (byte != 0x55) continue;
            theApp().m_detectionParam.stop = 1;
            const unsigned char ack = 0x55;
            if (write(master, &ack, 1) == 1) ++probesAnswered;
        }
    });
    EXPECT_EQ(Detect(), Code(DetectionResult::Stopped));
    done = true;
    partner.join();
    EXPECT_EQ(probesAnswered.load(), 1);
    close(master);
    close(slave);
}

}  // namespace
