// The stop signals of a POSIX system, sent with kill(): Windows has no SIGINT or SIGTERM to send
// to another process (its Ctrl+C goes through a console), and the tty's exclusive flag checked
// after the stop is the POSIX serial layer's.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "serial/PortLock.h"
#include "tests/tools/cli/CliTest.h"

using namespace benchtest;

namespace {

struct StopCase {
    int signal;
    bool duringWrite;
    int status;
    const char* said;
};

class CliStopTest : public CliTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CliStopTest, StopSignalEndsAfterTheRowAndReleasesThePort) {
    const StopCase& stop = GetParam();
    BoardOptions options;
    options.lineTiming = true;
    options.baud = 9600;  // a code row takes about 0.27 s on the line
    options.faults.silent = !stop.duringWrite;
    StartBoard(options);

    bool sent = false;
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> args = {"--port",    Port(),        "--baud",           "9600",
                                     "--workdir", kCatalogueDir, "--detect-timeout", "30"};
    if (stop.duringWrite) {
        args.insert(args.begin(), {"write", kSample});
    } else {
        args.insert(args.begin(), "detect");
    }
    const CliRun run = RunCliWatched(args, [&](CliProcessId pid) {
        const bool due = stop.duringWrite ? !RowsReceived().empty()
                                          : std::chrono::steady_clock::now() - started >
                                                std::chrono::milliseconds(500);
        if (due && !sent) sent = kill(static_cast<pid_t>(pid), stop.signal) == 0;
    });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, stop.status) << run.err;
    EXPECT_TRUE(Contains(run.err, stop.said)) << run.err;
    if (stop.duringWrite) {
        const std::size_t programmed = board_->RowsProgrammed();
        EXPECT_LT(programmed, 5u) << "four code rows and one EEPROM row were planned";
        EXPECT_EQ(RowsReceived().size(), programmed) << "the row on the line was finished";
        EXPECT_TRUE(
            Contains(run.err, std::to_string(programmed) + " rows of program flash written"))
            << run.err;
    }
    // The tty's exclusive flag is cleared: the next program can open the port.
    const int fd = open(board_->DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = 1;
    EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(fd);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, CliStopTest,
    ::testing::Values(StopCase{SIGINT, true, 130, "stopped by SIGINT: "},
                      StopCase{SIGTERM, true, 143, "stopped by SIGTERM: "},
                      StopCase{SIGHUP, true, 129, "stopped by SIGHUP: "},
                      StopCase{SIGPIPE, true, 141, "stopped by SIGPIPE: "},
                      StopCase{SIGINT, false, 130, "stopped by SIGINT during the detection"},
                      StopCase{SIGTERM, false, 143, "stopped by SIGTERM during the detection"}),
    [](const auto& entry) {
        const int signal = entry.param.signal;
        const char* name = signal == SIGINT    ? "SIGINT"
                           : signal == SIGTERM ? "SIGTERM"
                           : signal == SIGHUP  ? "SIGHUP"
                                               : "SIGPIPE";
        return std::string(name) + (entry.param.duringWrite ? "_write" : "_detection");
    });

// A board that takes no more bytes holds the row on the line until the write's own time limit,
// seconds away: a second SIGINT or SIGTERM gives the row up at once, says so, and leaves the
// port free and no lock behind.
class CliSecondStopTest : public CliTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CliSecondStopTest, GivesUpTheRowAtOnce) {
    const StopCase& stop = GetParam();
    BoardOptions options;
    options.faults.stallAfterRows = 1;
    StartBoard(options);

    int sent = 0;
    auto firstSent = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> rowSeen;
    const CliRun run = RunCliWatched(
        {"write", kSample, "--port", Port(), "--workdir", kCatalogueDir, "--detect-timeout", "30"},
        [&](CliProcessId pid) {
            if (!rowSeen && !RowsReceived().empty()) rowSeen = std::chrono::steady_clock::now();
            // By then the tool has the acknowledgement and is stuck in the next row's write.
            if (sent == 0 && rowSeen &&
                std::chrono::steady_clock::now() - *rowSeen > std::chrono::milliseconds(200)) {
                sent = kill(static_cast<pid_t>(pid), stop.signal) == 0 ? 1 : 0;
                firstSent = std::chrono::steady_clock::now();
            } else if (sent == 1 && std::chrono::steady_clock::now() - firstSent >
                                        std::chrono::milliseconds(300)) {
                sent = kill(static_cast<pid_t>(pid), stop.signal) == 0 ? 2 : 1;
            }
        });
    ASSERT_EQ(sent, 2) << run.err;
    EXPECT_EQ(run.status, stop.status) << run.err;
    EXPECT_TRUE(Contains(run.err, std::string(stop.signal == SIGINT ? "SIGINT" : "SIGTERM") +
                                      " again: the row on the line is given up"))
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(lunvik::LockFilePath(board_->DevicePath())))
        << "the lock is removed";
    const int fd = open(board_->DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = 1;
    EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(fd);
}

INSTANTIATE_TEST_SUITE_P(SecondSignals, CliSecondStopTest,
                         ::testing::Values(StopCase{SIGINT, true, 130, ""},
                                           StopCase{SIGTERM, true, 143, ""}),
                         [](const auto& entry) {
                             return std::string(entry.param.signal == SIGINT ? "SIGINT"
                                                                             : "SIGTERM");
                         });

// SIGINT reaches every board: each finishes the row on its line, sends nothing more, and its
// row count in the table is what the board programmed.
TEST(ParallelWriteTest, AStopSignalEndsEveryBoardAfterItsRow) {
    constexpr int kRows = 40;
    Bench bench;
    BoardOptions slow;
    slow.lineTiming = true;
    slow.baud = 19200;  // about 75 ms a row
    for (int i = 0; i < 3; ++i) bench.Add(BoardKind::Good, slow);
    const auto hex = bench.Dir().Write("rows.hex", CodeRowsHex(kRows));

    std::atomic<bool> signalled{false};
    const CliRun result =
        bench.RunWatched({"write", "--baud", "19200", hex.string()}, [&](CliProcessId tool) {
            if (signalled) return;
            for (std::size_t i = 0; i < bench.Size(); ++i) {
                if (bench.Board(i).RowsProgrammed() == 0) return;
            }
            signalled = true;
            kill(static_cast<pid_t>(tool), SIGINT);
        });
    ASSERT_TRUE(signalled.load());
    EXPECT_EQ(result.status, 130) << result.err;
    const auto table = ParseTable(result.out);
    ASSERT_EQ(table.size(), bench.Size()) << result.out;
    for (std::size_t i = 0; i < bench.Size(); ++i) {
        const TableLine& line = table.at(PortOf(bench.Board(i)));
        EXPECT_EQ(line.result.rfind("stopped (130): stopped by SIGINT", 0), 0u) << line.result;
        EXPECT_EQ(line.rows, bench.Board(i).RowsProgrammed());
        EXPECT_LT(line.rows, static_cast<std::size_t>(kRows));
    }
}

}  // namespace
