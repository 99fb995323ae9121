// A production station: batch after batch of boards that reset on their DTR line, each board
// its own serial number from a state file that a crash never makes give a number twice.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/Sha256.h"
#include "image/HexReader.h"
#include "tests/tools/cli/CliTest.h"
#include "tests/tools/cli/PosixOutputs.h"
#include "tests/tools/sim/ModemBridge.h"

namespace {

using benchtest::Contains;
using benchtest::kCatalogueDir;
using benchtest::kSample;

constexpr std::uint32_t kSerialAt = 0x7FFC00;
constexpr int kBoards = 8;
constexpr int kFirstCom = 40;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// What a run fed through its standard input printed, and how it ended.
struct FedRun {
    int status = -1;  // -1: killed or not ended normally
    std::string out;
    std::string err;
};

// What the test may do while the tool runs, about every 20 ms: write to its input, close it,
// or send it a signal.
struct Feed {
    pid_t pid = 0;
    int input = -1;
    void Line() const {
        const ssize_t written = ::write(input, "\n", 1);
        static_cast<void>(written);
    }
    void Close() {
        if (input >= 0) ::close(input);
        input = -1;
    }
};

// pelorant-cli with a pipe for its standard input; `step` sees its output so far.
FedRun RunFed(const std::vector<std::string>& args,
              const std::function<void(const FedRun&, Feed&)>& step) {
    const std::string program = PELORANT_CLI_PATH;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int in[2];
    int out[2];
    int err[2];
    FedRun run;
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    Feed feed{child, in[1]};
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* const sinks[2] = {&run.out, &run.err};
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (std::chrono::steady_clock::now() > end) kill(child, SIGKILL);
        step(run, feed);
        ReadOutputs(fds, sinks, 20);
    }
    feed.Close();
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

// Eight boards on COM41 .. COM48 whose bootloader listens only after a reset on DTR, replaced
// by eight new ones on the same ports between batches, as an operator swaps the boards. (COM1
// to COM32 without a link would name the serial ports of the machine.)
class ProductionTest : public benchtest::CliTest {
protected:
    ProductionTest()
        : bridge_([this](const std::string& device, board::ModemLineLevel level) {
              std::lock_guard<std::mutex> guard(lock_);
              for (const auto& board : boards_) {
                  if (board->DevicePath() == device)
                      board->SetModemLine(level.line, level.asserted);
              }
          }) {}

    void StartBoards(BoardOptions options) {
        options.cataloguePath = kCatalogueDir + "/qor_dspiclist.xml";
        options.device = "dsPIC30F4011";
        std::vector<std::unique_ptr<VirtualBoard>> boards;
        for (int i = 1; i <= kBoards; ++i) {
            options.comNumber = kFirstCom + i;
            std::string error;
            boards.push_back(VirtualBoard::Start(options, &error));
            ASSERT_TRUE(boards.back()) << error;
        }
        std::lock_guard<std::mutex> guard(lock_);
        boards_ = std::move(boards);
    }

    void StopBoards() {
        std::lock_guard<std::mutex> guard(lock_);
        boards_.clear();
    }

    // Boards wired to DTR, listening for a second after they start; with `silent`, once that
    // second has passed, when only the tool's reset makes them answer. (A board plugged in while
    // the tool waits for its port is probed within that second, as a real one would be.)
    void StartBoardsOnDtr(bool silent) {
        BoardOptions options;
        options.resetLine = SerialModemLine::Dtr;
        options.listenWindow = std::chrono::milliseconds(1000);
        StartBoards(options);
        if (!silent) return;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (const auto& board : boards_) {
            while (!board->UserProgramRunning() && std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_TRUE(board->UserProgramRunning());
        }
    }

    std::vector<std::string> Ports() const {
        std::vector<std::string> args;
        for (int i = 1; i <= kBoards; ++i)
            args.insert(args.end(), {"--port", "COM" + std::to_string(kFirstCom + i)});
        return args;
    }

    std::vector<std::string> Command(std::vector<std::string> options) const {
        std::vector<std::string> args = {"write", "--workdir", kCatalogueDir, "--detect-timeout",
                                         "10"};
        args.insert(args.end(), options.begin(), options.end());
        const std::vector<std::string> ports = Ports();
        args.insert(args.end(), ports.begin(), ports.end());
        args.push_back(kSample);
        return args;
    }

    // The state file of a run with --log LogPath() is beside the log.
    std::string StatePath() const { return (dir_.path() / "serial.state").string(); }
    std::string LogPath() const { return (dir_.path() / "log.jsonl").string(); }

    // The numbers the boards hold; with `whole`, after checking that each board holds the
    // file's program flash and data EEPROM words (the number's own word aside).
    std::vector<std::uint64_t> NumbersOnBoards(bool whole) {
        std::lock_guard<std::mutex> guard(lock_);
        std::vector<std::uint64_t> numbers;
        for (const auto& board : boards_) {
            for (std::uint32_t a = 0x0100; whole && a < 0x01C0; a += 2) {
                EXPECT_EQ(board->Word(a), sample_[0].ReadWord(a)) << std::hex << a;
            }
            for (std::uint32_t a = kSerialAt + 2; whole && a < kSerialAt + 0x10; a += 2) {
                EXPECT_EQ(board->Word(a), sample_[1].ReadWord(a)) << std::hex << a;
            }
            if (const auto word = board->Word(kSerialAt); word && *word != 0xFFFF) {
                numbers.push_back(*word);
            }
        }
        return numbers;
    }

    void SetUp() override {
        sample_[0].SetRange(0x0000, 0x7FFE);
        sample_[1].SetRange(0x7FFC00, 0x7FFFFE);
        sample_[2].SetRange(0xF80000, 0xF8000E);
        const std::string text = testsupport::ReadFile(kSample);
        ASSERT_EQ(ReadHexRecords(text, sample_[0], sample_[1], sample_[2]).outcome,
                  HexReadOutcome::Read);
    }

    std::mutex lock_;
    std::vector<std::unique_ptr<VirtualBoard>> boards_;
    CMemoryImage sample_[3];
    boardtest::ModemBridge bridge_;
};

// Three batches, started by a line on standard input or by the boards coming and going on
// their ports; the run ends with the input, or with SIGINT after the batch.
TEST_F(ProductionTest, AnUnattendedRunGivesTwentyFourBoardsTheFileAndTheirOwnNumbers) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        const char* waiting;  // what the tool says while it waits for the next batch
    };
    const Case cases[] = {
        {"a line on standard input", {}, "starts with the next line on standard input"},
        {"each port going away and coming back", {"--next-batch", "replug"}, "unplug the boards"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(StatePath().c_str());
        std::remove(LogPath().c_str());
        StartBoardsOnDtr(true);
        std::vector<std::string> options = {"--repeat",    "--reset",  "dtr",   "--serial", "1000",
                                            "--serial-at", "0x7FFC00", "--log", LogPath()};
        options.insert(options.end(), c.options.begin(), c.options.end());
        std::vector<std::uint64_t> numbers;
        std::size_t batches = 0;
        const bool replug = !c.options.empty();
        const FedRun run = RunFed(Command(options), [&](const FedRun& sofar, Feed& feed) {
            const std::string done = "batch " + std::to_string(batches + 1) + " file ";
            if (batches == 3 || !Contains(sofar.out, done)) return;
            if (batches < 2 && Count(sofar.err, c.waiting) < batches + 1) return;
            ++batches;
            const std::vector<std::uint64_t> batch = NumbersOnBoards(true);
            numbers.insert(numbers.end(), batch.begin(), batch.end());
            if (batches == 3) {
                if (replug) kill(feed.pid, SIGINT);
                feed.Close();
                return;
            }
            StopBoards();
            // The operator takes a moment to swap the boards.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            StartBoardsOnDtr(!replug);
            if (!replug) feed.Line();
        });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(batches, 3u) << run.out << run.err;
        std::sort(numbers.begin(), numbers.end());
        std::vector<std::uint64_t> expected(24);
        for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = 1000 + i;
        EXPECT_EQ(numbers, expected);
        EXPECT_EQ(testsupport::ReadFile(StatePath()), "next 1024\n");
        // A line for every board, each with the file's SHA-256 and the board's number.
        std::vector<std::uint64_t> logged;
        for (const std::string& line : benchtest::Lines(testsupport::ReadFile(LogPath()))) {
            const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
            ASSERT_TRUE(record.is_object()) << line;
            EXPECT_EQ(record.value("hex_sha256", ""), Sha256Hex(testsupport::ReadFile(kSample)));
            EXPECT_EQ(record.value("result", ""), "ok") << line;
            logged.push_back(record.value("serial", std::uint64_t{0}));
        }
        std::sort(logged.begin(), logged.end());
        EXPECT_EQ(logged, expected);
        EXPECT_TRUE(Contains(run.out, "summary: 3 batches, 24 boards written, 0 failed"))
            << run.out;
        EXPECT_TRUE(Contains(run.out, "COM48  3 written, 0 failed")) << run.out;
        StopBoards();
    }
}

// Killed while its boards are being written, then started again: the boards of the second run
// get numbers the first never gave, and the state file is past all of them.
TEST_F(ProductionTest, ARunKilledInTheMiddleOfABatchNeverGivesANumberTwice) {
    BoardOptions slow;
    slow.lineTiming = true;
    slow.rowProgramTime = std::chrono::milliseconds(150);
    StartBoards(slow);
    const std::vector<std::string> args =
        Command({"--serial", "1000", "--serial-at", "0x7FFC00", "--serial-state", StatePath()});
    bool killed = false;
    RunFed(args, [&](const FedRun&, Feed& feed) {
        std::lock_guard<std::mutex> guard(lock_);
        if (killed) return;
        const bool writing = std::any_of(boards_.begin(), boards_.end(), [](const auto& board) {
            return board->RowsProgrammed() >= 2;
        });
        if (writing) killed = kill(feed.pid, SIGKILL) == 0;
    });
    ASSERT_TRUE(killed);
    const std::vector<std::uint64_t> first = NumbersOnBoards(false);
    const std::string state = testsupport::ReadFile(StatePath());
    // Every board that was being written had taken its number: the file is past them all.
    ASSERT_EQ(state.rfind("next ", 0), 0u) << state;
    const std::uint64_t next = std::stoull(state.substr(5));
    EXPECT_GT(next, 1000u);

    StopBoards();
    StartBoards({});
    const FedRun again = RunFed(args, [](const FedRun&, Feed&) {});
    EXPECT_EQ(again.status, 0) << again.err;
    const std::vector<std::uint64_t> second = NumbersOnBoards(true);
    ASSERT_EQ(second.size(), static_cast<std::size_t>(kBoards));
    std::set<std::uint64_t> every(first.begin(), first.end());
    for (const std::uint64_t number : second) {
        EXPECT_GE(number, next) << "state was " << state;
        EXPECT_TRUE(every.insert(number).second) << number << " given twice; state was " << state;
    }
    EXPECT_EQ(testsupport::ReadFile(StatePath()),
              "next " + std::to_string(*every.rbegin() + 1) + "\n");
}

// SIGINT while the boards are being written stops none of them: the batch ends, then the run.
TEST_F(ProductionTest, SigintInTheMiddleOfABatchLetsItsBoardsFinishThenEndsTheRun) {
    BoardOptions slow;
    slow.lineTiming = true;
    slow.rowProgramTime = std::chrono::milliseconds(150);
    StartBoards(slow);
    bool sent = false;
    const FedRun run =
        RunFed(Command({"--repeat", "--serial", "1000", "--serial-at", "0x7FFC00", "--serial-state",
                        StatePath()}),
               [&](const FedRun&, Feed& feed) {
                   std::lock_guard<std::mutex> guard(lock_);
                   if (sent) return;
                   const bool writing =
                       std::any_of(boards_.begin(), boards_.end(),
                                   [](const auto& board) { return board->RowsProgrammed() >= 2; });
                   if (writing) sent = kill(feed.pid, SIGINT) == 0;
               });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(NumbersOnBoards(true).size(), static_cast<std::size_t>(kBoards));
    EXPECT_TRUE(Contains(run.err, "stopped by SIGINT after batch 1")) << run.err;
    EXPECT_TRUE(Contains(run.out, "summary: 1 batch, 8 boards written, 0 failed")) << run.out;
}

}  // namespace
