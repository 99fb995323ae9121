#pragma once

#include "app/BootloaderApp.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// Each command acts on the engine state of `app` and returns the tool's exit status.
int RunPortsCommand(const CliOptions& options, ConsoleOutput& output);
int RunDetectCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app);
int RunWriteCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app);
int RunRunCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app);
int RunCheckCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app);
int RunMonitorCommand(const CliOptions& options, ConsoleOutput& output);
