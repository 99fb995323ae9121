#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "control/LoadedImage.h"
#include "control/SerialNumber.h"
#include "control/SerialStock.h"
#include "tools/cli/BoardTable.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/ConsoleOutput.h"

// The serial numbers of a write: where each board's goes, where they come from, and whether a
// failed board gives its number back.
struct BoardSerials {
    SerialPlace place;
    SerialStock& stock;
    bool reuseOnFail = false;
};

// How a board's write came out.
struct BoardWriteResult {
    int status = 0;                       // the board's exit status
    std::size_t rowsWritten = 0;          // rows the board acknowledged
    std::string reason;                   // why it failed, when it did
    std::optional<std::uint64_t> serial;  // the number the board was given
};

// Detects the board on options.port through the engine state of `app`, loads `source` (the HEX
// file, read once for every board) against its device, gives it its serial number when
// `serials` is set, and writes it (then runs it with --run).
BoardWriteResult WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                            const std::shared_ptr<const HexSource>& source,
                            const BoardSerials* serials);

// The counts a batch's panel line shows: the batch's number and the boards so far.
struct BatchCounts {
    std::size_t batch = 0;  // 0: a single write, no batch line
    std::size_t ok = 0;
    std::size_t failed = 0;
};

// One batch: the same file to every board of options.ports at once, each board its own engine
// state, session and thread; the boards' outcomes in --port order. `counts` are those before
// this batch.
std::vector<BoardOutcome> WriteBatch(const CliOptions& options, ConsoleOutput& output,
                                     const std::shared_ptr<const HexSource>& source,
                                     const BoardSerials* serials, BatchCounts counts);

// A single batch, ending with a table of the boards and the file's SHA-256; 0 when every board
// succeeded, else the highest status of a board.
int WriteBoards(const CliOptions& options, ConsoleOutput& output,
                const std::shared_ptr<const HexSource>& source, const BoardSerials* serials);

// --repeat: batch after batch with the loaded file, each started as options.production.next
// says, until the input ends or SIGINT; a table after each batch and a summary at the end.
// 0 when every board of every batch succeeded, else the highest status of a board.
int WriteBatches(const CliOptions& options, ConsoleOutput& output,
                 const std::shared_ptr<const HexSource>& source, const BoardSerials* serials);
