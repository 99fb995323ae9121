#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "common/Product.h"
#include "protocol/LineTrace.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/StopSignals.h"

namespace {

int RunCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    InstallStopSignals();
    if (options.command == "ports") return RunPortsCommand(output);
    if (options.command == "detect") return RunDetectCommand(options, output, app);
    if (options.command == "write") return RunWriteCommand(options, output, app);
    if (options.command == "run") return RunRunCommand(options, output, app);
    if (options.command == "monitor") return RunMonitorCommand(options, output);
    return RunCheckCommand(options, output, app);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    if (!ParseCommandLine(args, options, error)) {
        std::fprintf(stderr, "pelorant-cli: %s\nTry 'pelorant-cli --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::printf("pelorant-cli %s\n", product::kSoftwareVersion);
        return kExitOk;
    }

    ConsoleOutput output(stdout, stderr, options.quiet);
    bootproto::TraceSink trace;
    std::FILE* traceFile = nullptr;
    if (!options.trace.empty()) {
        traceFile = std::fopen(options.trace.c_str(), "w");
        if (traceFile == nullptr) {
            std::fprintf(stderr, "pelorant-cli: cannot write the trace file %s: %s\n",
                         options.trace.c_str(), std::strerror(errno));
            return kExitUsage;
        }
        trace.Add(traceFile);
    }
    if (options.verbose) trace.Add(stderr);
    if (traceFile != nullptr || options.verbose) output.TraceTo(&trace, options.verbose);
    const int status = RunCommand(options, output, theApp());
    if (traceFile != nullptr) std::fclose(traceFile);
    return status;
}
