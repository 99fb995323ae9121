#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/sim/VirtualBoard.h"

namespace board {

struct SimCommandLine {
    BoardOptions board;  // cataloguePath stays empty unless --catalogue was given
    bool comGiven = false;
    bool showHelp = false;
    bool listDevices = false;
    std::string dumpPath;
};

// The options of pelorant-sim (without the program name). Empty with `error` set when
// the command line is wrong.
std::optional<SimCommandLine> ParseSimCommandLine(const std::vector<std::string>& arguments,
                                                  std::string* error);
// The options that give `board` back when parsed: how a board's settings travel to a board
// started in another process.
std::vector<std::string> BoardArguments(const BoardOptions& board);
std::string SimHelpText();

}  // namespace board
