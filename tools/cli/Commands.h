#pragma once

#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// Each command returns the tool's exit status.
int RunPortsCommand(ConsoleOutput& output);
int RunDetectCommand(const CliOptions& options, ConsoleOutput& output);
int RunWriteCommand(const CliOptions& options, ConsoleOutput& output);
int RunRunCommand(const CliOptions& options, ConsoleOutput& output);
int RunCheckCommand(const CliOptions& options, ConsoleOutput& output);
int RunMonitorCommand(const CliOptions& options, ConsoleOutput& output);
