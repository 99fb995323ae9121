#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/OutputFile.h"
#include "common/Product.h"
#include "control/ExitStatus.h"
#include "protocol/LineTrace.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/PortName.h"
#include "tools/cli/StopSignals.h"

namespace {

int RunCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    InstallStopSignals();
    if (options.command == "ports") return RunPortsCommand(options, output);
    if (options.command == "detect") return RunDetectCommand(options, output, app);
    if (options.command == "write") return RunWriteCommand(options, output, app);
    if (options.command == "run") return RunRunCommand(options, output, app);
    if (options.command == "monitor") return RunMonitorCommand(options, output);
    return RunCheckCommand(options, output, app);
}

// The first file the command reads that `output` names too, however spelled; empty when none.
// Opening the trace empties its file and the log appends to its own: neither may be the HEX
// file, the catalogue or the settings.
std::string InputUnder(const std::string& output, const CliOptions& options) {
    std::vector<std::string> inputs;
    if (!options.file.empty()) inputs.push_back(options.file);
    std::string workdir = options.workdir;
    if (char setting[kSettingTextBytes] = {};
        workdir.empty() && ReadSettingString(setting, product::kSettingsKey, "path") == 0) {
        workdir = setting;
    }
    if (!workdir.empty()) inputs.push_back(workdir + "/" + product::kCatalogueFileName);
    for (const std::string& file : SettingsFiles()) inputs.push_back(file);
    for (const std::string& input : inputs) {
        if (SameFile(output, input)) return input;
    }
    return {};
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

    std::vector<std::string> devices;
    for (const std::string& port : options.ports) devices.push_back(PortDevice(port));
    NoteStopPorts(devices);

    if (!options.log.empty()) {
        if (const std::string input = InputUnder(options.log, options); !input.empty()) {
            std::fprintf(stderr,
                         "pelorant-cli: the log file %s is %s, which the command reads; give "
                         "--log another file\n",
                         options.log.c_str(), input.c_str());
            return kExitUsage;
        }
    }
    // With --json, stdout holds the JSON document alone.
    ConsoleOutput output(options.json ? stderr : stdout, stderr, options.quiet);
    bootproto::TraceSink trace;
    FilePtr traceFile(nullptr, &std::fclose);
    if (!options.trace.empty()) {
        if (const std::string input = InputUnder(options.trace, options); !input.empty()) {
            std::fprintf(stderr,
                         "pelorant-cli: the trace file %s is %s, which the command reads; give "
                         "--trace another file\n",
                         options.trace.c_str(), input.c_str());
            return kExitUsage;
        }
        std::string reason;
        traceFile = OpenOutputFile(options.trace, reason);
        if (!traceFile) {
            std::fprintf(stderr, "pelorant-cli: cannot write the trace file %s\n", reason.c_str());
            return kExitUsage;
        }
        trace.Add(traceFile.get(), "the trace file " + options.trace);
    }
    if (options.verbose) trace.Add(stderr, "the trace on stderr");
    // Reported from whichever thread wrote the line, in one call to stderr.
    trace.OnFailure([](const std::string& failure) {
        std::fprintf(stderr, "pelorant-cli: %s\n", failure.c_str());
    });
    if (traceFile != nullptr || options.verbose) output.TraceTo(&trace, options.verbose);
    int status = RunCommand(options, output, theApp());
    if (traceFile != nullptr && std::fclose(traceFile.release()) != 0) {
        std::fprintf(stderr, "pelorant-cli: the trace file %s cannot be written: %s\n",
                     options.trace.c_str(), std::strerror(errno));
        if (status == kExitOk) status = kExitWriteFailed;
    }
    // A trace cut short is no trace: the command's own outcome stands, a success does not.
    if (trace.Failed() && status == kExitOk) status = kExitWriteFailed;
    return status;
}
