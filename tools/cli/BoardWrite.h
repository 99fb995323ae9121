#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "control/BoardRecord.h"
#include "control/BoardSerials.h"
#include "control/LoadedImage.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

class BoardLog;

// What a write reads once, before any board is detected, for every board.
struct WriteSources {
    std::shared_ptr<const HexSource> hex;
    std::shared_ptr<const DeviceCatalogue> catalogue;
};

// Detects the board on options.port through the engine state of `app`, identifies it in the
// sources' catalogue, loads their HEX file against its device, gives it its serial number when
// `serials` is set, and writes it (then runs it with --run); the board's record.
BoardRecord WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                       const WriteSources& sources, const BoardSerials* serials);

// The counts a batch's panel line shows: the batch's number and the boards so far.
struct BatchCounts {
    std::size_t batch = 0;  // 0: a single write, no batch line
    std::size_t ok = 0;
    std::size_t failed = 0;
};

// One batch: the same file to every board of options.ports at once, each board its own engine
// state, session and thread; the boards' records in --port order. `counts` are those before
// this batch.
std::vector<BoardRecord> WriteBatch(const CliOptions& options, ConsoleOutput& output,
                                    const WriteSources& sources, const BoardSerials* serials,
                                    BatchCounts counts);

// A single batch, ending with a table of the boards and the file's SHA-256; the boards'
// records, in the order of options.ports.
std::vector<BoardRecord> WriteBoards(const CliOptions& options, ConsoleOutput& output,
                                     const WriteSources& sources, const BoardSerials* serials);

// --repeat: batch after batch with the loaded file, each started as options.production.next
// says, until the input ends or SIGINT; a table after each batch, its lines appended to `log`
// (when there is one) and a summary at the end. 0 when every board of every batch succeeded
// and every batch was logged, else the highest status of a board.
int WriteBatches(const CliOptions& options, ConsoleOutput& output, const WriteSources& sources,
                 const BoardSerials* serials, BoardLog* log);
