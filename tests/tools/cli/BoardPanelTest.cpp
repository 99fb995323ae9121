// On a terminal, a write to several boards keeps one progress line per board below the other
// text, and wipes them before the table. POSIX only: the terminal is a pseudo-terminal that a
// forked child writes to; a Windows console cannot be put under a test's control this way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/tools/cli/BenchBoards.h"
#include "tests/tools/cli/PosixOutputs.h"

using namespace benchtest;

namespace {

struct TerminalRun {
    int status = -1;
    std::string out;     // stdout, a pipe
    std::string screen;  // everything stderr sent to the terminal
};

// pelorant-cli with stderr on a pseudo-terminal of 100 columns and stdout on a pipe.
TerminalRun RunOnTerminal(const std::vector<std::string>& args) {
    const std::string program = PELORANT_CLI_PATH;
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    TerminalRun run;
    int master = -1;
    int slave = -1;
    winsize size{};
    size.ws_row = 40;
    size.ws_col = 100;
    int outPipe[2];
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0 || pipe(outPipe) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        // No input: a repeated write ends after its first batch.
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(slave, STDERR_FILENO);
        close(outPipe[0]);
        close(outPipe[1]);
        close(master);
        close(slave);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(slave);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {master, POLLIN, 0}};
    std::string* const sinks[2] = {&run.out, &run.screen};
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && std::chrono::steady_clock::now() < end) {
        ReadOutputs(fds, sinks, 20);
    }
    if (fds[0].fd >= 0 || fds[1].fd >= 0) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

// What a terminal shows after `stream`: carriage return, line feed, erase to the end of the
// line (ESC [ K) and of the screen (ESC [ J), cursor up (ESC [ n A).
std::vector<std::string> Screen(const std::string& stream) {
    std::vector<std::string> lines(1);
    std::size_t row = 0;
    std::size_t column = 0;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const char c = stream[i];
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            if (++row == lines.size()) lines.emplace_back();
        } else if (c == '\033' && i + 1 < stream.size() && stream[i + 1] == '[') {
            std::size_t j = i + 2;
            std::size_t count = 0;
            while (j < stream.size() && std::isdigit(static_cast<unsigned char>(stream[j]))) {
                count = count * 10 + static_cast<std::size_t>(stream[j++] - '0');
            }
            if (j == stream.size()) break;
            if (stream[j] == 'K') lines[row].resize(std::min(lines[row].size(), column));
            if (stream[j] == 'J') {
                lines[row].resize(std::min(lines[row].size(), column));
                lines.resize(row + 1);
            }
            if (stream[j] == 'A') row -= std::min(row, count == 0 ? 1 : count);
            i = j;
        } else {
            std::string& line = lines[row];
            if (line.size() <= column) line.resize(column + 1, ' ');
            line[column++] = c;
        }
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(BoardPanelTest, EachBoardHasOneProgressLineThatIsGoneBeforeTheTable) {
    Bench bench;
    BoardOptions paced;
    paced.lineTiming = true;  // some progress to draw
    paced.baud = 57600;
    bench.Add(BoardKind::Good, paced);
    bench.Add(BoardKind::Good, paced);
    const auto hex = bench.Dir().Write("rows.hex", CodeRowsHex(20));
    std::vector<std::string> args = {"write",       hex.string(),       "--workdir",
                                     kCatalogueDir, "--detect-timeout", "5"};
    for (std::size_t i = 0; i < bench.Size(); ++i) {
        args.insert(args.end(), {"--port", bench.Board(i).DevicePath()});
    }
    const TerminalRun run = RunOnTerminal(args);
    ASSERT_EQ(run.status, 0) << run.screen;

    const std::vector<std::string> screen = Screen(run.screen);
    for (std::size_t i = 0; i < bench.Size(); ++i) {
        const std::string port = bench.Board(i).DevicePath();
        // While the rows went out, the board's line showed its bar.
        EXPECT_TRUE(Contains(run.screen, port + ": program flash  [")) << port;
        std::size_t statusLines = 0;
        for (const std::string& line : screen) {
            EXPECT_FALSE(Contains(line, "[#")) << "a progress line was left: " << line;
            if (line.rfind(port + ": * write completed", 0) == 0) ++statusLines;
        }
        EXPECT_EQ(statusLines, 1u) << port;
    }
    for (const std::string& line : screen) EXPECT_LT(line.size(), 100u) << line;
}

// A repeated write's panel has a line above the boards with the batch and its counts so far.
TEST(BoardPanelTest, ABatchLineCountsTheBoardsAsTheyEndAndIsGoneBeforeTheTable) {
    Bench bench;
    bench.Add(BoardKind::Good);
    bench.Add(BoardKind::Refusing);
    std::vector<std::string> args = {"write",       "--repeat",         kSample, "--workdir",
                                     kCatalogueDir, "--detect-timeout", "5"};
    for (std::size_t i = 0; i < bench.Size(); ++i) {
        args.insert(args.end(), {"--port", bench.Board(i).DevicePath()});
    }
    const TerminalRun run = RunOnTerminal(args);
    ASSERT_EQ(run.status, 1) << run.screen;
    EXPECT_TRUE(Contains(run.screen, "batch 1: 0 ok, 0 failed")) << run.screen;
    EXPECT_TRUE(Contains(run.screen, "batch 1: 1 ok, 1 failed")) << run.screen;
    for (const std::string& line : Screen(run.screen)) {
        EXPECT_FALSE(Contains(line, " ok, ")) << "the batch line was left: " << line;
    }
    EXPECT_TRUE(Contains(run.out, "summary: 1 batch, 1 board written, 1 failed")) << run.out;
}

}  // namespace
