#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;  // exit status, or -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// Runs the built pelorant-cli with `args` in this process's environment and collects its
// output. A tool still running after a minute is killed (the run then reports -1).
CliRun RunCli(const std::vector<std::string>& args);

// As RunCli, calling `watch` with the tool's process id about every 20 ms while it runs.
CliRun RunCliWatched(const std::vector<std::string>& args, const std::function<void(pid_t)>& watch);
