#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "serial/CSerialPort.h"
#include "serial/PortLock.h"
#include "tests/serial/PseudoTerminal.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PseudoTerminal;

// A process id that no process has: a child that has ended and been waited for.
long EndedProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

std::string LockText(long pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", pid);
    return text;
}

struct LockCase {
    const char* name;
    std::optional<std::string> lockBefore;  // the lock file's content before the open
    bool opens;
};

class PortLockTest : public ::testing::TestWithParam<LockCase> {
protected:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv lockDir_{"LUNVIK_LOCK_DIR", dir_.path().string()};
    PseudoTerminal pty_;
};

TEST_P(PortLockTest, HonoursLiveLocksAndTakesOverStaleOnes) {
    const LockCase& lock = GetParam();
    const std::string lockPath = lunvik::LockFilePath(pty_.slavePath());
    ASSERT_EQ(std::filesystem::path(lockPath).parent_path(), dir_.path());
    EXPECT_EQ(std::filesystem::path(lockPath).filename().string().rfind("LCK..pts_", 0), 0u)
        << lockPath;
    if (lock.lockBefore) {
        dir_.Write(std::filesystem::path(lockPath).filename().string(), *lock.lockBefore);
    }

    CSerialPort port;
    errno = 0;
    const int opened = port.InitPort(pty_.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512);
    EXPECT_EQ(opened, lock.opens ? 1 : 0);
    if (!lock.opens) {
        EXPECT_EQ(errno, EBUSY);
        EXPECT_EQ(testsupport::ReadFile(lockPath), *lock.lockBefore) << "a live lock is kept";
        ASSERT_TRUE(lunvik::LiveLockHolder(pty_.slavePath()));
        EXPECT_EQ(lunvik::LiveLockHolder(pty_.slavePath())->pid, 1);
        return;
    }
    EXPECT_EQ(testsupport::ReadFile(lockPath), LockText(getpid()));
    EXPECT_FALSE(lunvik::LiveLockHolder(pty_.slavePath())) << "our own lock holds no one off";
    EXPECT_EQ(port.ClosePort(), 0u);
    EXPECT_FALSE(std::filesystem::exists(lockPath)) << "closing releases the lock";
}

INSTANTIATE_TEST_SUITE_P(
    Locks, PortLockTest,
    ::testing::Values(LockCase{"none", std::nullopt, true},
                      LockCase{"held_by_a_running_process", LockText(1), false},
                      LockCase{"stale", LockText(EndedProcessId()), true},
                      LockCase{"unreadable_pid", std::string("garbage\n"), true}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST(PortLockDirectoryTest, PortOpensWithoutALockWhereNoneCanBeTaken) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv lockDir("LUNVIK_LOCK_DIR", (dir.path() / "missing").string());
    PseudoTerminal pty;
    CSerialPort port;
    ASSERT_EQ(port.InitPort(pty.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    EXPECT_EQ(port.ClosePort(), 0u);
}

}  // namespace
