#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace boardtest {

inline const std::string kSimProgram = PELORANT_BINARY_DIR "/tools/sim/pelorant-sim";
inline const std::string kBoardHostProgram = PELORANT_BINARY_DIR "/tools/sim/pelorant-board-host";

// pelorant-sim (or another program) run as a child process with its standard input and output
// on pipes and its standard error in a file.
class SimProcess {
public:
    SimProcess(const std::vector<std::string>& arguments, const std::string& errorFile,
               const std::string& program = kSimProgram);
    ~SimProcess();  // kills the program if it still runs
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // One line of standard output without its newline; empty on end of output or time-out.
    std::optional<std::string> ReadLine(std::chrono::milliseconds wait);
    std::string ReadAllOutput(std::chrono::milliseconds wait);
    bool WriteInput(const std::string& text);
    void CloseInput();
    void Signal(int number);
    // The exit status once the program ended; empty if it still runs after `wait`.
    std::optional<int> Wait(std::chrono::milliseconds wait);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffered_;
};

// Runs pelorant-sim to its end and returns its exit status and standard output.
std::pair<int, std::string> RunSim(const std::vector<std::string>& arguments);

}  // namespace boardtest
