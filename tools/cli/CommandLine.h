#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "protocol/ResetSequence.h"
#include "tools/cli/Monitor.h"
#include "tools/cli/ProductionOptions.h"

inline constexpr unsigned kDefaultBaudRate = 115200;
inline constexpr unsigned kDefaultDetectTimeout = 44;

struct CliOptions {
    std::string command;             // ports, detect, write, run, check or monitor
    std::string port;                // the first --port
    std::vector<std::string> ports;  // every --port, in order: write takes several

    unsigned baud = kDefaultBaudRate;
    std::optional<std::array<bool, 3>> memories;  // by block index: code, eeprom, config
    bool proceedOnError = false;
    bool run = false;
    std::string file;
    std::string device;
    std::string workdir;
    unsigned detectTimeout = kDefaultDetectTimeout;
    bool quiet = false;
    std::string trace;     // --trace FILE: every byte on the line goes to FILE
    bool verbose = false;  // -v: the same trace on stderr
    bool help = false;
    bool version = false;
    MonitorOptions monitor;  // the monitor command's --hex, --timestamps, --for, --send, --eol
    std::optional<bootproto::ResetSequence> reset;  // --reset: played by the detection
    bool monitorAfterRun = false;                   // --monitor of run and write --run
    unsigned monitorBaud = kDefaultBaudRate;        // --monitor-baud, else --baud
    ProductionOptions production;                   // --repeat and the serial number's options
    bool json = false;  // --json: one JSON document on stdout, the text on stderr
    std::string log;    // --log FILE: a JSON line per board written is appended to FILE
};

// Fills `options` from the arguments after the program name; false with `error` set when
// they do not form a valid command line.
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error);

std::string UsageText();
