// The pelorant-sim program: its command line, its first line of output, its commands and
// signals, and a clean exit that removes its COM link.
#include <gtest/gtest.h>
#include <signal.h>

#include "tests/tools/sim/BoardTestSupport.h"
#include "tests/tools/sim/SimProcess.h"

using namespace boardtest;

namespace {

class SimProgramTest : public ::testing::Test {
protected:
    std::filesystem::path Ports() const { return dir.path() / "config/lunvik/ports"; }
    std::filesystem::path ErrorFile() const { return dir.path() / "stderr.txt"; }

    testsupport::TempDir dir;
    testsupport::ScopedEnv config{"XDG_CONFIG_HOME", (dir.path() / "config").string()};
    testsupport::ScopedEnv catalogueVariable{"PELORANT_CATALOGUE", std::nullopt};
    std::string catalogue = WriteTestCatalogue(dir);
};

// Probes until the board answers: commands and signals reach the board a moment later.
bool AnswersProbeWithin(HostLine& host, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (host.Exchange({0x55}, 1, 100ms) == Bytes{0x55}) return true;
    }
    return false;
}

TEST_F(SimProgramTest, CommandLine) {
    const auto [helpStatus, help] = RunSim({"--help"});
    EXPECT_EQ(helpStatus, 0);
    for (const char* word :
         {"--line-timing",     "--listen-window", "silent",  "noisy-probe",    "noise-only-probe",
          "short-identify",    "bad-version",     "no-sync", "refuse-row",     "ignore-row",
          "cut-after-row",     "SIGUSR1",         "E5",      "--reset-line",   "--inverted",
          "--program-says",    "--every",         "dtr=1",   "noisy-identify", "echo",
          "vanish-at-version", "vanish-at-sync"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
    for (const char* bad :
         {"--fault=bogus", "--fault=refuse-row", "--com=0", "--firmware=1", "--baud=fast",
          "--frobnicate", "--reset-line=dsr", "--inverted", "--every=0", "--program-says="}) {
        EXPECT_EQ(RunSim({bad}).first, 2) << bad;
    }
    EXPECT_EQ(RunSim({"--list", "--catalogue", catalogue}),
              std::make_pair(0, std::string("0x0101 TestPic\n0x0BAD CrookedPic\n")));
    testsupport::ScopedEnv fromEnvironment("PELORANT_CATALOGUE", catalogue);
    EXPECT_EQ(RunSim({"--list"}).second, "0x0101 TestPic\n0x0BAD CrookedPic\n");
}

TEST_F(SimProgramTest, ServesUntilTerminatedAndObeysResetAndDump) {
    const auto log = dir.path() / "frames.log";
    const auto dump = dir.path() / "dump.hex";
    SimProcess sim({"--catalogue", catalogue, "--device", "testpic", "--com", "5", "--log",
                    log.string(), "--dump", dump.string()},
                   ErrorFile().string());
    const auto first = sim.ReadLine(10s);
    ASSERT_TRUE(first) << testsupport::ReadFile(ErrorFile());
    ASSERT_TRUE(first->starts_with("COM5 /dev/")) << *first;
    const std::string device = first->substr(5);
    EXPECT_EQ(std::filesystem::read_symlink(Ports() / "COM5"), device);

    HostLine host(device);
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    ASSERT_TRUE(host.Send({0x0F}));
    EXPECT_TRUE(host.Exchange({0x55}, 1, 150ms).empty());
    sim.Signal(SIGUSR1);
    EXPECT_TRUE(AnswersProbeWithin(host, 5s));

    ASSERT_TRUE(host.Send({0x0F}));
    EXPECT_TRUE(host.Exchange({0x55}, 1, 150ms).empty());
    ASSERT_TRUE(sim.WriteInput("reset\n"));
    EXPECT_TRUE(AnswersProbeWithin(host, 5s));

    ASSERT_EQ(host.Exchange(RowFrame(0x0000, RowData(64, 7)), 1), (Bytes{0x55}));
    ASSERT_TRUE(sim.WriteInput("dump\n"));
    EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(dump); }));

    sim.CloseInput();
    EXPECT_TRUE(AnswersProbeWithin(host, 2s)) << "the end of standard input is no reason to stop";
    std::filesystem::remove(dump);
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(10s), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(Ports() / "COM5"));
    EXPECT_NE(testsupport::ReadFile(dump).find(":10000000"), std::string::npos);
    EXPECT_NE(testsupport::ReadFile(log).find(" 0F\n"), std::string::npos);
}

// The modem lines arrive as commands; the user program talks once the run command came.
TEST_F(SimProgramTest, TalkingProgramAndResetLineThroughItsCommands) {
    SimProcess sim({"--catalogue", catalogue, "--device", "testpic", "--reset-line", "dtr",
                    "--program-says", "ready", "--every", "50"},
                   ErrorFile().string());
    const auto first = sim.ReadLine(10s);
    ASSERT_TRUE(first) << testsupport::ReadFile(ErrorFile());
    HostLine host(first->substr(first->find(' ') + 1));
    ASSERT_TRUE(host.Send({0x0F}));
    EXPECT_EQ(host.Read(7), (Bytes{'r', 'e', 'a', 'd', 'y', '\r', '\n'}));
    ASSERT_TRUE(sim.WriteInput("dtr=1\ndtr=0\n"));
    // Each said back once the board has it: a relay answers the host's ioctl only then.
    EXPECT_EQ(sim.ReadLine(10s), "dtr=1");
    EXPECT_EQ(sim.ReadLine(10s), "dtr=0");
    EXPECT_TRUE(AnswersProbeWithin(host, 5s));
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(10s), 0);
}

TEST_F(SimProgramTest, TakesTheFirstFreeComNumberFromAHundredUp) {
    std::filesystem::create_directories(Ports());
    std::filesystem::create_symlink("/dev/null", Ports() / "COM100");
    std::filesystem::create_symlink("/dev/pts/gone", Ports() / "COM101");
    SimProcess sim({"--catalogue", catalogue}, ErrorFile().string());
    // The default device is not in the test catalogue.
    EXPECT_FALSE(sim.ReadLine(10s));
    EXPECT_EQ(sim.Wait(10s), 1);
    EXPECT_NE(testsupport::ReadFile(ErrorFile()).find("dsPIC30F4011"), std::string::npos);

    SimProcess second({"--catalogue", catalogue, "--device", "0x0101"}, ErrorFile().string());
    const auto first = second.ReadLine(10s);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->starts_with("COM101 /dev/")) << *first;
    second.Signal(SIGINT);
    EXPECT_EQ(second.Wait(10s), 0);
    EXPECT_EQ(std::filesystem::read_symlink(Ports() / "COM100"), "/dev/null");
    EXPECT_FALSE(std::filesystem::exists(Ports() / "COM101"));
}

}  // namespace
