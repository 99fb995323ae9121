#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;  // exit status, or -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// The running tool's process id, as wide as any platform's (pid_t, a Windows process id).
using CliProcessId = std::int64_t;

// Runs the built pelorant-cli with `args` in this process's environment and collects its
// output, calling `watch` with the tool's process id about every 20 ms while it runs. A tool
// still running after a minute is killed (the run then reports -1). Each platform has its own
// file.
CliRun RunCliWatched(const std::vector<std::string>& args,
                     const std::function<void(CliProcessId)>& watch);

inline CliRun RunCli(const std::vector<std::string>& args) {
    return RunCliWatched(args, [](CliProcessId) {});
}

// What pelorant-cli says of who holds a port that this test process holds open: the pid where
// the platform keeps lock files, general words where it does not.
std::string HolderOfPortHeldHere();
