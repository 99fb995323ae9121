// The board reset through the adapter's modem lines, and the monitor right after the run
// command: a virtual board wired to its DTR line, whose user program talks, and the test's
// bridge carrying the tool's modem-line calls on the pseudo-terminal to it.
#include <signal.h>

#include <filesystem>
#include <optional>

#include "tests/tools/cli/CliTest.h"
#include "tests/tools/sim/ModemBridge.h"

namespace {

using benchtest::CliTest;
using benchtest::Contains;
using benchtest::kSample;

class ResetMonitorTest : public CliTest {
protected:
    // A board whose bootloader has stopped listening: only a reset on DTR brings it back.
    void StartBoardWiredToDtr() {
        BoardOptions options;
        options.resetLine = SerialModemLine::Dtr;
        options.listenWindow = std::chrono::milliseconds(1000);
        options.programSays = "hello from the program";
        options.talkEvery = std::chrono::milliseconds(200);
        StartBoard(options);
        ASSERT_TRUE(UserProgramStarts());
    }

    void Bridge() {
        bridge_.emplace([this](const std::string& device, board::ModemLineLevel level) {
            if (board_ && device == board_->DevicePath()) {
                board_->SetModemLine(level.line, level.asserted);
            }
        });
    }

    bool RunCommandReceived() const {
        for (const ReceivedFrame& frame : board_->Frames()) {
            if (frame.bytes == std::vector<std::uint8_t>{0x0F}) return true;
        }
        return false;
    }

    std::optional<boardtest::ModemBridge> bridge_;
};

struct ResetCase {
    const char* name;
    std::vector<std::string> args;
    bool bridged;
    int status;
    const char* said;
};

TEST_F(ResetMonitorTest, DetectionResetsTheBoardThroughItsModemLines) {
    const ResetCase cases[] = {
        {"reset on DTR", {"detect", "--reset", "dtr"}, true, 0, "dsPIC30F4011"},
        {"general form", {"run", "--reset", "dtr=1,wait=20,dtr=0"}, true, 0, "Running program"},
        {"no reset: the board is not listening", {"detect"}, true, 4, "detection failed"},
        {"reset on the wrong line",
         {"detect", "--reset", "rts"},
         true,
         4,
         "check which line resets the board"},
        {"a port without modem lines", {"detect", "--reset", "dtr"}, false, 4, "no modem lines"},
        {"not a sequence", {"detect", "--reset", "dsr"}, true, 2, "--reset: 'dsr'"},
    };
    for (const ResetCase& row : cases) {
        SCOPED_TRACE(row.name);
        StartBoardWiredToDtr();
        if (row.bridged) Bridge();
        const CliRun run = Board(row.args);
        bridge_.reset();
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(Contains(run.out + run.err, row.said)) << run.out << run.err;
        if (row.status == 4 && !row.bridged) {
            EXPECT_TRUE(Contains(run.err, Port())) << "the error names the port: " << run.err;
        }
    }
}

// The monitor opens the port again right after the run byte: the program's first line is
// there, and SIGINT ends it.
TEST_F(ResetMonitorTest, MonitorFollowsTheRunCommand) {
    const std::vector<std::string> commands[] = {
        {"run", "--reset", "dtr", "--monitor"},
        {"write", "--reset", "dtr", "--run", "--monitor", "--monitor-baud", "115200", kSample},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.front());
        StartBoardWiredToDtr();
        Bridge();
        bool sent = false;
        int polls = 0;
        std::vector<std::string> args = command;
        args.insert(args.end(), {"--port", Port(), "--workdir", benchtest::kCatalogueDir,
                                 "--detect-timeout", "5"});
        const CliRun run = RunCliWatched(args, [&](CliProcessId pid) {
            // Half a second of the monitor once the run command came.
            if (sent || !RunCommandReceived() || ++polls < 25) return;
            sent = kill(static_cast<pid_t>(pid), SIGINT) == 0;
        });
        bridge_.reset();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, "hello from the program\n")) << run.out;
        EXPECT_TRUE(Contains(run.err, "monitor stopped by SIGINT")) << run.err;
    }
}

}  // namespace
