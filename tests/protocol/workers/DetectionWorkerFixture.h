#pragma once

#include <chrono>
#include <climits>
#include <optional>
#include <thread>

#include "app/BootloaderApp.h"
#include "protocol/Workers.h"
#include "tests/protocol/workers/WorkerTestSupport.h"

namespace workertest {

// Runs the detection worker against the test's board (or whatever line the port is open on).
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
        std::optional<WindowMessage> result = queue_.Wait(std::chrono::seconds(10));
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

}  // namespace workertest
