#pragma once

#include <cstddef>

#include "app/BootloaderApp.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// Detects the board on options.port through the engine state of `app`, loads options.file
// against its device and writes it (then runs it with --run); an exit status. `rowsWritten`
// gets the rows the board acknowledged.
int WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
               std::size_t& rowsWritten);

// The same file to every board of options.ports at once: each board its own engine state,
// session and thread. Ends with a table of the boards; 0 when every board succeeded, else the
// highest status of a board.
int WriteBoards(const CliOptions& options, ConsoleOutput& output);
