#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string kName = "PelorantAlreadyRunning";

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() : runtimeEnv_("XDG_RUNTIME_DIR", runtime_.path().string()) {}

    testsupport::TempDir runtime_;
    testsupport::ScopedEnv runtimeEnv_;
};

// Runs `child` in a forked process that reports one byte through a pipe and then waits to be
// killed; returns its pid and the byte.
pid_t Spawn(char (*child)(), char& report) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        close(fds[0]);
        const char byte = child();
        if (write(fds[1], &byte, 1) != 1) _exit(2);
        for (;;) pause();
    }
    close(fds[1]);
    if (read(fds[0], &report, 1) != 1) report = '?';
    close(fds[0]);
    return pid;
}

void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

// Held for the life of the forked process, which ends only by the signal.
char AcquireAndKeep() {
    static std::unique_ptr<SingleInstanceGuard> guard;
    guard = SingleInstanceGuard::Acquire(kName);
    return !guard ? 'n' : guard->Held() ? 'y' : 'u';
}

}  // namespace

TEST_F(SingleInstanceTest, SecondGuardIsRefusedUntilTheFirstIsGone) {
    std::unique_ptr<SingleInstanceGuard> first = SingleInstanceGuard::Acquire(kName);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Held());
    EXPECT_TRUE(fs::exists(runtime_.path() / kName));

    EXPECT_EQ(SingleInstanceGuard::Acquire(kName), nullptr);
    EXPECT_NE(SingleInstanceGuard::Acquire("OtherName"), nullptr);

    first.reset();
    EXPECT_NE(SingleInstanceGuard::Acquire(kName), nullptr);
    EXPECT_THROW(SingleInstanceGuard::Acquire("a/b"), std::invalid_argument);
}

TEST_F(SingleInstanceTest, AnotherProcessSeesTheGuardHeldAndAKilledHolderFreesIt) {
    char report = 0;
    const pid_t holder = Spawn(AcquireAndKeep, report);
    ASSERT_EQ(report, 'y');
    EXPECT_EQ(SingleInstanceGuard::Acquire(kName), nullptr);

    Kill(holder);
    std::unique_ptr<SingleInstanceGuard> mine = SingleInstanceGuard::Acquire(kName);
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(mine->Held());

    const pid_t second = Spawn(AcquireAndKeep, report);
    EXPECT_EQ(report, 'n');
    Kill(second);
}

TEST_F(SingleInstanceTest, LockFileIsNeverFollowedThroughALink) {
    const fs::path victim = runtime_.path() / "victim";
    fs::create_symlink(victim, runtime_.path() / kName);

    std::unique_ptr<SingleInstanceGuard> guard = SingleInstanceGuard::Acquire(kName);

    ASSERT_NE(guard, nullptr);
    EXPECT_FALSE(guard->Held());
    EXPECT_FALSE(fs::exists(victim));
}

TEST(RuntimeLockDirectoryTest, FallsBackToAPrivateDirectoryUnderTmp) {
    testsupport::TempDir tmp;
    testsupport::TempDir open;
    fs::permissions(open.path(), fs::perms::all);
    const std::string own = (tmp.path() / ("pelorant-" + std::to_string(getuid()))).string();
    {
        testsupport::ScopedEnv unset("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(RuntimeLockDirectory(tmp.path().string()), own);
        EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);
    }
    testsupport::ScopedEnv shared("XDG_RUNTIME_DIR", open.path().string());
    EXPECT_EQ(RuntimeLockDirectory(tmp.path().string()), own) << "a runtime dir open to others";
    fs::permissions(own, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
    EXPECT_EQ(RuntimeLockDirectory(tmp.path().string()), "");
}

TEST(RuntimeLockDirectoryTest, PlantedLinkIsRefused) {
    testsupport::TempDir tmp;
    testsupport::TempDir elsewhere;
    testsupport::ScopedEnv unset("XDG_RUNTIME_DIR", std::nullopt);
    fs::create_symlink(elsewhere.path(), tmp.path() / ("pelorant-" + std::to_string(getuid())));

    EXPECT_EQ(RuntimeLockDirectory(tmp.path().string()), "");
}
