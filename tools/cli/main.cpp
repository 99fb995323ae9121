#include <cstdio>
#include <string>
#include <vector>

#include "common/Product.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/StopSignals.h"

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
    InstallStopSignals();
    if (options.command == "ports") return RunPortsCommand(output);
    if (options.command == "detect") return RunDetectCommand(options, output);
    if (options.command == "write") return RunWriteCommand(options, output);
    if (options.command == "run") return RunRunCommand(options, output);
    return RunCheckCommand(options, output);
}
