// The monitor on a virtual board's pseudo-terminal: it shows what the user program says, and
// ends cleanly on SIGINT, after --for, and when the port vanishes.
#include <signal.h>

#include <filesystem>

#include "tests/tools/cli/CliTest.h"

namespace {

using benchtest::CliTest;
using benchtest::Contains;

class MonitorTest : public CliTest {
protected:
    // A board whose user program is running and saying "hello, board".
    void StartTalkingBoard() {
        BoardOptions options;
        options.programSays = "hello, board";
        options.talkEvery = std::chrono::milliseconds(100);
        StartBoard(options);
        const CliRun run = Board({"run"});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(UserProgramStarts());
    }

    // The monitor holds the port once the port's lock file is there.
    bool MonitorHoldsThePort() const {
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            if (entry.path().filename().string().starts_with("LCK..")) return true;
        }
        return false;
    }
};

struct EndCase {
    const char* name;
    std::vector<std::string> args;
    bool interrupt;  // SIGINT once the monitor holds the port
    bool vanish;     // the board goes away once the monitor holds the port
    int status;
    const char* said;
};

TEST_F(MonitorTest, ShowsTheProgramsTextUntilItEnds) {
    const EndCase cases[] = {
        {"for", {"--for", "1"}, false, false, 0, "monitor ended after 1 s"},
        {"sigint", {"--timestamps"}, true, false, 0, "monitor stopped by SIGINT"},
        {"vanished port", {}, false, true, 1, "went away; monitor ended"},
    };
    for (const EndCase& row : cases) {
        SCOPED_TRACE(row.name);
        StartTalkingBoard();
        const std::string port = Port();
        std::vector<std::string> args = {"monitor", "--port", port};
        args.insert(args.end(), row.args.begin(), row.args.end());
        bool acted = false;
        int polls = 0;
        const CliRun run = RunCliWatched(args, [&](CliProcessId pid) {
            // Half a second of the monitor's output before it is ended.
            if (acted || !MonitorHoldsThePort() || ++polls < 25) return;
            acted = true;
            if (row.interrupt) kill(static_cast<pid_t>(pid), SIGINT);
            if (row.vanish) board_.reset();
        });
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(Contains(run.err, row.said)) << run.err;
        EXPECT_TRUE(Contains(run.out, "hello, board\n")) << run.out;
        EXPECT_FALSE(MonitorHoldsThePort()) << "the port is released";
    }
}

}  // namespace
