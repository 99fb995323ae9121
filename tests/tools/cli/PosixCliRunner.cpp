#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "tests/tools/cli/CliRunner.h"
#include "tests/tools/cli/PosixOutputs.h"

namespace {

constexpr auto kHangLimit = std::chrono::seconds(60);

}  // namespace

void ReadOutputs(pollfd (&fds)[2], std::string* const (&sinks)[2], int waitMs) {
    if (poll(fds, 2, waitMs) <= 0) return;
    for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0) continue;
        char chunk[4096];
        const ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
        if (got > 0) {
            sinks[i]->append(chunk, static_cast<std::size_t>(got));
        } else {
            close(fds[i].fd);
            fds[i].fd = -1;
        }
    }
}

CliRun RunCliWatched(const std::vector<std::string>& args,
                     const std::function<void(CliProcessId)>& watch) {
    const std::string program = PELORANT_CLI_PATH;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    CliRun run;
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    const auto end = std::chrono::steady_clock::now() + kHangLimit;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* const sinks[2] = {&run.out, &run.err};
    bool killed = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (std::chrono::steady_clock::now() > end && !killed) {
            kill(child, SIGKILL);
            killed = true;
        }
        watch(child);
        ReadOutputs(fds, sinks, 20);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!killed && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

std::string HolderOfPortHeldHere() {
    return "held by pid " + std::to_string(getpid());
}
