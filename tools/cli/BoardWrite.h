#pragma once

#include <memory>
#include <vector>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "control/LoadedImage.h"
#include "tools/cli/BoardRecord.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// What a write reads once, before any board is detected, for every board.
struct WriteSources {
    std::shared_ptr<const HexSource> hex;
    std::shared_ptr<const DeviceCatalogue> catalogue;
};

// Detects the board on options.port through the engine state of `app`, identifies it in the
// sources' catalogue, loads their HEX file against its device and writes it (then runs it with
// --run); the board's record.
BoardRecord WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                       const WriteSources& sources);

// The same file to every board of options.ports at once: each board its own engine state,
// session and thread. Ends with a table of the boards and the file's SHA-256; the boards'
// records, in the order of options.ports.
std::vector<BoardRecord> WriteBoards(const CliOptions& options, ConsoleOutput& output,
                                     const WriteSources& sources);
