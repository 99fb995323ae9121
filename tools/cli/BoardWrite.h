#pragma once

#include <memory>
#include <vector>

#include "app/BootloaderApp.h"
#include "control/LoadedImage.h"
#include "tools/cli/BoardRecord.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// Detects the board on options.port through the engine state of `app`, loads `source` (the HEX
// file, read once for every board) against its device and writes it (then runs it with --run);
// the board's record.
BoardRecord WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                       const std::shared_ptr<const HexSource>& source);

// The same file to every board of options.ports at once: each board its own engine state,
// session and thread. Ends with a table of the boards and the file's SHA-256; the boards'
// records, in the order of options.ports.
std::vector<BoardRecord> WriteBoards(const CliOptions& options, ConsoleOutput& output,
                                     const std::shared_ptr<const HexSource>& source);
