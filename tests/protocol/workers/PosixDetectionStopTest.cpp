// The detection against a line partner the test drives itself, on a pseudo-terminal of its own
// (POSIX only: the Windows test programs get their lines from the board host, which plays
// only the board).
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "app/BootloaderApp.h"
#include "tests/protocol/workers/DetectionWorkerFixture.h"

namespace {

using workertest::DetectionWorkerTest;

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
