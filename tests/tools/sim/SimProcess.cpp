#include "tests/tools/sim/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <utility>

extern char** environ;

namespace boardtest {

SimProcess::SimProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
                       const std::string& program) {
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) return;
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    input_ = input[1];
    output_ = output[0];
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !Wait(std::chrono::milliseconds(0))) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    CloseInput();
    if (output_ >= 0) close(output_);
}

std::optional<std::string> SimProcess::ReadLine(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (const auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{output_, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char chunk[256];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got <= 0) return std::nullopt;
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string SimProcess::ReadAllOutput(std::chrono::milliseconds wait) {
    std::string all;
    while (auto line = ReadLine(wait)) all += *line + "\n";
    return all + std::exchange(buffered_, {});
}

bool SimProcess::WriteInput(const std::string& text) {
    // A program that already ended must fail the test, not kill it.
    static const bool pipeSignalIgnored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)pipeSignalIgnored;
    return write(input_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void SimProcess::CloseInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
}

void SimProcess::Signal(int number) {
    if (pid_ > 0) kill(pid_, number);
}

std::optional<int> SimProcess::Wait(std::chrono::milliseconds wait) {
    if (pid_ <= 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::pair<int, std::string> RunSim(const std::vector<std::string>& arguments) {
    SimProcess process(arguments, "/dev/null");
    process.CloseInput();
    std::string output = process.ReadAllOutput(std::chrono::seconds(10));
    return {process.Wait(std::chrono::seconds(10)).value_or(-1), output};
}

}  // namespace boardtest
