// Any bytes as pelorant-cli's arguments (separated by zero bytes): the parser refuses with a
// reason, or accepts a command line complete for its command that reads the same when it is
// written out again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzSupport.h"
#include "tools/cli/CommandLine.h"

namespace {

constexpr std::size_t kMostArguments = 64;

std::vector<std::string> SplitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size && args.size() <= kMostArguments; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    return args;
}

// The options as one canonical command line.
std::vector<std::string> WrittenOut(const CliOptions& options) {
    std::vector<std::string> args = {options.command};
    for (const std::string& port : options.ports) args.push_back("--port=" + port);
    if (options.baud != kDefaultBaudRate) args.push_back("--baud=" + std::to_string(options.baud));
    if (options.memories) {
        static const char* const kNames[] = {"code", "eeprom", "config"};
        std::string list;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!(*options.memories)[k]) continue;
            list += (list.empty() ? "" : ",") + std::string(kNames[k]);
        }
        args.push_back("--memories=" + list);
    }
    if (options.proceedOnError) args.push_back("--proceed-on-error");
    if (options.run) args.push_back("--run");
    if (!options.device.empty()) args.push_back("--device=" + options.device);
    if (!options.workdir.empty()) args.push_back("--workdir=" + options.workdir);
    if (options.detectTimeout != kDefaultDetectTimeout) {
        args.push_back("--detect-timeout=" + std::to_string(options.detectTimeout));
    }
    if (options.quiet) args.push_back("--quiet");
    if (!options.trace.empty()) args.push_back("--trace=" + options.trace);
    if (options.verbose) args.push_back("-v");
    if (options.command == "write" || options.command == "check") args.push_back(options.file);
    return args;
}

bool Same(const CliOptions& a, const CliOptions& b) {
    return a.command == b.command && a.port == b.port && a.ports == b.ports && a.baud == b.baud &&
           a.memories == b.memories && a.proceedOnError == b.proceedOnError && a.run == b.run &&
           a.file == b.file && a.device == b.device && a.workdir == b.workdir &&
           a.detectTimeout == b.detectTimeout && a.quiet == b.quiet && a.help == b.help &&
           a.version == b.version && a.trace == b.trace && a.verbose == b.verbose;
}

void CheckComplete(const CliOptions& options) {
    const std::string& command = options.command;
    FUZZ_CHECK(command == "ports" || command == "detect" || command == "write" ||
               command == "run" || command == "check");
    FUZZ_CHECK(options.baud > 0 && options.detectTimeout > 0);
    if (command == "detect" || command == "write" || command == "run") {
        FUZZ_CHECK(!options.port.empty() && options.port == options.ports.front());
        FUZZ_CHECK(command == "write" || options.ports.size() == 1);
    } else {
        FUZZ_CHECK(options.ports.empty() && options.baud == kDefaultBaudRate);
    }
    if (command == "check") FUZZ_CHECK(!options.device.empty());
    if (command != "write") {
        FUZZ_CHECK(!options.memories && !options.proceedOnError && !options.run);
    }
    if (command != "write" && command != "check") FUZZ_CHECK(options.file.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = SplitArguments(data, size);
    CliOptions options;
    std::string error;
    const bool accepted = ParseCommandLine(args, options, error);
    FUZZ_CHECK(accepted == error.empty());
    if (!accepted || options.help || options.version) return 0;
    CheckComplete(options);

    CliOptions again;
    std::string againError;
    FUZZ_CHECK(ParseCommandLine(WrittenOut(options), again, againError));
    FUZZ_CHECK(Same(options, again));
    return 0;
}
