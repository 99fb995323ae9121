#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "app/BootloaderApp.h"
#include "control/DetectionRun.h"
#include "tests/control/ControlFixture.h"

namespace {

using namespace std::chrono_literals;

// Never reached in these runs: only the silent board waits for the limit.
constexpr std::uint32_t kFarLimit = 1000;

class DetectionRunTest : public ControlTest {
protected:
    // Opens the board's port and starts a run on it, which posts to `results_`.
    void Start(DetectionRun& run, std::uint32_t limitSeconds) {
        ASSERT_TRUE(OpenEnginePort(theApp().Engine(), board_->DevicePath()));
        ASSERT_TRUE(run.Start(results_, limitSeconds));
    }

    // The worker's result, ticking the run's clock every 100 ms while it is awaited.
    DetectionResult AwaitResult(DetectionRun& run) {
        for (int tick = 0; tick < 600; ++tick) {
            if (const auto message = results_.Wait(100ms)) {
                EXPECT_EQ(message->message, kMsgDetectionFinished);
                return static_cast<DetectionResult>(message->wParam);
            }
            run.Tick();
        }
        ADD_FAILURE() << "the worker never reported";
        run.Stop();
        return DetectionResult::Stopped;
    }

    MessageQueue results_;
};

struct RunCase {
    const char* name;
    BoardFaults faults;
    bool catalogueMissing;
    bool catalogueReadBefore;  // the shipped catalogue handed to the run, read beforehand
    DetectionResult detection;
    std::optional<IdentifyResult> identification;  // empty: no identification was tried
};

class DetectionRunCaseTest : public DetectionRunTest,
                             public ::testing::WithParamInterface<RunCase> {};

// The flow every front end runs: the worker's result, then the identification only when the
// worker synchronised.
TEST_P(DetectionRunCaseTest, ReportsWhatTheDetectionCameTo) {
    const RunCase& c = GetParam();
    BoardOptions options = Options();
    options.faults = c.faults;
    StartBoard(options);
    if (c.catalogueMissing) {
        std::snprintf(theApp().m_workingPath, sizeof theApp().m_workingPath, "%s/",
                      dir_.path().string().c_str());
    }
    DetectionRun run(theApp().Engine());
    if (c.catalogueReadBefore) {
        run.SetCatalogue(DeviceCatalogue::Read(ShippedCatalogueDir() + "qor_dspiclist.xml"));
    }
    Start(run, kFarLimit);

    const DetectionOutcome outcome = run.Finish(AwaitResult(run));
    EXPECT_EQ(outcome.detection, c.detection);
    EXPECT_EQ(outcome.identification, c.identification);
    EXPECT_EQ(outcome.Identified(), c.identification == IdentifyResult::Identified);
    EXPECT_FALSE(run.Started());
    EXPECT_FALSE(run.WorkerAlive());
    if (outcome.Identified()) {
        EXPECT_STREQ(theApp().m_device.name, "dsPIC30F4011");
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, DetectionRunCaseTest,
                         ::testing::Values(RunCase{"identified",
                                                   {},
                                                   false,
                                                   false,
                                                   DetectionResult::Synchronised,
                                                   IdentifyResult::Identified},
                                           RunCase{"bad_version_acknowledge",
                                                   {.badVersionAck = true},
                                                   false,
                                                   false,
                                                   DetectionResult::Synchronised,
                                                   IdentifyResult::FirmwareFailed},
                                           RunCase{"catalogue_missing",
                                                   {},
                                                   true,
                                                   false,
                                                   DetectionResult::Synchronised,
                                                   IdentifyResult::CatalogueUnreadable},
                                           // A command reads the catalogue once for all its boards:
                                           // its file is not read again.
                                           RunCase{"catalogue_read_before_its_file_went",
                                                   {},
                                                   true,
                                                   true,
                                                   DetectionResult::Synchronised,
                                                   IdentifyResult::Identified},
                                           RunCase{"short_identification_reply",
                                                   {.shortIdentify = true},
                                                   false,
                                                   false,
                                                   DetectionResult::Timeout,
                                                   std::nullopt},
                                           RunCase{"port_vanishes",
                                                   {.vanishAtProbe = 0},
                                                   false,
                                                   false,
                                                   DetectionResult::PortLost,
                                                   std::nullopt}),
                         [](const auto& entry) { return std::string(entry.param.name); });

// The limit is counted on the run's clock, however often it is looked at; from the limit on
// every look asks the worker to stop.
TEST_F(DetectionRunTest, SilentBoardIsStoppedAtTheLimitOfItsClock) {
    BoardOptions options = Options();
    options.faults.silent = true;
    StartBoard(options);
    DetectionRun run(theApp().Engine(), clock_);
    Start(run, 3);

    EXPECT_FALSE(run.Tick());
    EXPECT_FALSE(run.Tick());
    clock_.Advance(2999ms);
    EXPECT_FALSE(run.Tick());
    EXPECT_EQ(run.SecondsWaited(), 2u);
    EXPECT_EQ(theApp().m_detectionParam.stop.load(), 0);
    clock_.Advance(1ms);
    EXPECT_TRUE(run.Tick());
    EXPECT_EQ(theApp().m_detectionParam.stop.load(), 1);
    EXPECT_TRUE(run.Tick());
    clock_.Advance(5s);
    EXPECT_EQ(run.SecondsWaited(), 3u) << "never beyond the limit";

    const auto message = results_.Wait(10s);
    ASSERT_TRUE(message);
    const DetectionOutcome outcome = run.Finish(static_cast<DetectionResult>(message->wParam));
    EXPECT_EQ(outcome.detection, DetectionResult::Stopped);
    EXPECT_FALSE(outcome.identification);
}

TEST_F(DetectionRunTest, StopJoinsTheWorkerAndReleasesItsTarget) {
    BoardOptions options = Options();
    options.faults.silent = true;
    StartBoard(options);
    DetectionRun run(theApp().Engine());
    Start(run, kFarLimit);
    EXPECT_EQ(theApp().m_detectionParam.notifyWindow, &results_);

    run.Stop();
    EXPECT_FALSE(run.Started());
    EXPECT_FALSE(run.WorkerAlive());
    EXPECT_EQ(theApp().m_detectionParam.notifyWindow, nullptr);
}

TEST(DetectionPortName, IsTheDevicePathOrComN) {
    CBootloaderApp& app = theApp();
    app.m_comNumber = 12;
    EXPECT_EQ(EnginePortName(app.Engine()), "COM12");
    EXPECT_EQ(EnginePortName(app.Engine(), "/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
