#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
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

// What a local user may plant in the shared lock directory: nothing of it is followed, waited
// on, read without bound, written through or removed.
struct PlantedCase {
    const char* name;
    std::function<void(const std::filesystem::path& lock, const std::filesystem::path& victim)>
        plant;
    bool opens;  // false: the port is busy, "not a lock file"
};

namespace fs = std::filesystem;

// Everything below the lock directory, with its type and, for files, its content.
std::string Listing(const fs::path& dir) {
    std::string listing;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const fs::file_status status = fs::symlink_status(entry.path());
        listing += entry.path().filename().string() + ":" +
                   std::to_string(static_cast<int>(status.type()));
        if (status.type() == fs::file_type::regular) {
            listing += "=" + testsupport::ReadFile(entry.path());
        }
        listing += "\n";
    }
    return listing;
}

class PlantedLockTest : public ::testing::TestWithParam<PlantedCase> {
protected:
    testsupport::TempDir dir_;
    testsupport::TempDir victim_;
    testsupport::ScopedEnv lockDir_{"LUNVIK_LOCK_DIR", dir_.path().string()};
    PseudoTerminal pty_;
};

TEST_P(PlantedLockTest, OnlyARegularSmallFileIsALock) {
    const fs::path lock = lunvik::LockFilePath(pty_.slavePath());
    const fs::path victim = victim_.Write("victim", "precious\n");
    GetParam().plant(lock, victim);
    const std::string before = Listing(dir_.path());

    CSerialPort port;
    errno = 0;
    const int opened = port.InitPort(pty_.slavePath().c_str(), 115200, 'N', 8, 1, 9, 512);

    EXPECT_EQ(testsupport::ReadFile(victim), "precious\n") << "nothing is written through";
    if (GetParam().opens) {
        ASSERT_EQ(opened, 1);
        EXPECT_EQ(testsupport::ReadFile(lock), LockText(getpid()));
        EXPECT_EQ(port.ClosePort(), 0u);
        return;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(errno, EBUSY);
    EXPECT_EQ(Listing(dir_.path()), before) << "what is no lock is never removed";
    const auto holder = lunvik::LiveLockHolder(pty_.slavePath());
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->notALockFile, lock.string());
    EXPECT_EQ(holder->pid, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedLockTest,
    ::testing::Values(PlantedCase{"fifo",
                                  [](const fs::path& lock, const fs::path&) {
                                      ASSERT_EQ(mkfifo(lock.c_str(), 0666), 0);
                                  },
                                  false},
                      PlantedCase{
                          "directory",
                          [](const fs::path& lock, const fs::path&) { fs::create_directory(lock); },
                          false},
                      PlantedCase{"link_to_an_endless_file",
                                  [](const fs::path& lock, const fs::path&) {
                                      fs::create_symlink("/dev/zero", lock);
                                  },
                                  false},
                      PlantedCase{"link_to_a_live_lock",
                                  [](const fs::path& lock, const fs::path&) {
                                      std::ofstream(lock.string() + ".real") << LockText(1);
                                      fs::create_symlink(lock.string() + ".real", lock);
                                  },
                                  false},
                      PlantedCase{"dangling_link",
                                  [](const fs::path& lock, const fs::path&) {
                                      fs::create_symlink("/nonexistent/x", lock);
                                  },
                                  false},
                      PlantedCase{"file_longer_than_a_lock",
                                  [](const fs::path& lock, const fs::path&) {
                                      std::ofstream(lock) << std::string(4096, '1');
                                  },
                                  false},
                      PlantedCase{"link_at_the_temporary_name",
                                  [](const fs::path& lock, const fs::path& victim) {
                                      fs::create_symlink(victim, lock.string() + ".LTMP" +
                                                                     std::to_string(getpid()));
                                  },
                                  true}),
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
