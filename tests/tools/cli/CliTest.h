#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/tools/cli/BenchBoards.h"
#include "tests/tools/cli/CliRunner.h"
#include "tools/sim/VirtualBoard.h"

namespace benchtest {

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// pelorant-cli against one virtual board at a time, with the tool's settings, port links and
// locks in a directory of the test's own.
class CliTest : public ::testing::Test {
protected:
    CliTest()
        : configHome_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
          runtimeDir_("XDG_RUNTIME_DIR", (dir_.path() / "run").string()),
          lockDir_("LUNVIK_LOCK_DIR", dir_.path().string()) {}

    void StartBoard(BoardFaults faults = {}, int comNumber = 0) {
        BoardOptions options;
        options.faults = faults;
        options.comNumber = comNumber;
        StartBoard(options);
    }

    void StartBoard(BoardOptions options) {
        options.cataloguePath = kCatalogueDir + "/qor_dspiclist.xml";
        options.device = "dsPIC30F4011";
        std::string error;
        board_ = VirtualBoard::Start(options, &error);
        ASSERT_TRUE(board_) << error;
    }

    // The board's port as the user names it.
    std::string Port() const { return PortOf(*board_); }

    // A board command with the port, the catalogue and a short detection limit.
    CliRun Board(std::vector<std::string> args) {
        args.insert(args.end(),
                    {"--port", Port(), "--workdir", kCatalogueDir, "--detect-timeout", "2"});
        return RunCli(args);
    }

    // The board reads the run command after the tool has exited; give it time.
    bool UserProgramStarts() const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!board_->UserProgramRunning()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::vector<std::uint32_t> RowsReceived() const { return RowsReceivedBy(*board_); }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv configHome_;
    testsupport::ScopedEnv runtimeDir_;
    testsupport::ScopedEnv lockDir_;
    std::unique_ptr<VirtualBoard> board_;
};

}  // namespace benchtest
