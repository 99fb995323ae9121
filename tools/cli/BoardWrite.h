#pragma once

#include <cstddef>
#include <memory>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "control/LoadedImage.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// How a board's write came out.
struct BoardWriteResult {
    int status = 0;               // the board's exit status
    std::size_t rowsWritten = 0;  // rows the board acknowledged
    std::string reason;           // why it failed, when it did
};

// What a write reads once, before any board is detected, for every board.
struct WriteSources {
    std::shared_ptr<const HexSource> hex;
    std::shared_ptr<const DeviceCatalogue> catalogue;
};

// Detects the board on options.port through the engine state of `app`, identifies it in the
// sources' catalogue, loads their HEX file against its device and writes it (then runs it with
// --run).
BoardWriteResult WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                            const WriteSources& sources);

// The same file to every board of options.ports at once: each board its own engine state,
// session and thread. Ends with a table of the boards and the file's SHA-256; 0 when every
// board succeeded, else the highest status of a board.
int WriteBoards(const CliOptions& options, ConsoleOutput& output, const WriteSources& sources);
