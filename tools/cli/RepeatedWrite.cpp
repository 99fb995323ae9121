#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "control/BoardLog.h"
#include "control/ExitStatus.h"
#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/NextBatchWait.h"
#include "tools/cli/StopSignals.h"

namespace {

struct PortCounts {
    std::size_t written = 0;
    std::size_t failed = 0;
};

// What the run came to, for its summary: the batches, and the boards by port.
struct RunCounts {
    BatchCounts total;
    std::map<std::string, PortCounts> ports;

    void Add(const std::vector<BoardRecord>& records) {
        for (const BoardRecord& board : records) {
            PortCounts& port = ports[board.port];
            ++(board.status == kExitOk ? port.written : port.failed);
            ++(board.status == kExitOk ? total.ok : total.failed);
        }
    }
};

void PrintSummary(const RunCounts& counts, const std::vector<std::string>& ports,
                  ConsoleOutput& output) {
    const auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    output.Result("summary: " + count(counts.total.batch, "batch", "batches") + ", " +
                  count(counts.total.ok, "board", "boards") + " written, " +
                  std::to_string(counts.total.failed) + " failed");
    std::size_t width = 4;
    for (const std::string& port : ports) width = std::max(width, port.size());
    for (const std::string& port : ports) {
        const auto found = counts.ports.find(port);
        const PortCounts board = found == counts.ports.end() ? PortCounts{} : found->second;
        output.Result("  " + port + std::string(width - port.size(), ' ') + "  " +
                      std::to_string(board.written) + " written, " + std::to_string(board.failed) +
                      " failed");
    }
}

}  // namespace

int WriteBatches(const CliOptions& options, ConsoleOutput& output, const WriteSources& sources,
                 const BoardSerials* serials, BoardLog* log) {
    const HexSource& source = *sources.hex;
    // SIGINT lets the batch on the line end as it would; SIGTERM still stops it.
    LetInterruptEndTheBatch();
    NextBatchWait wait(options.production.next, options.ports);
    RunCounts counts;
    int worst = kExitOk;
    for (std::size_t batch = 1;; ++batch) {
        counts.total.batch = batch;
        output.Note("batch " + std::to_string(batch) + ": " + std::to_string(options.ports.size()) +
                    (options.ports.size() == 1 ? " board" : " boards"));
        const std::vector<BoardRecord> records =
            WriteBatch(options, output, sources, serials, counts.total);
        counts.Add(records);
        worst = std::max(worst, WorstStatus(records));
        output.Result("batch " + std::to_string(batch) + " file " + source.file.path + " sha256 " +
                      source.sha256);
        for (const std::string& line : FormatBoardTable(records)) output.Result(line);
        // A station that cannot keep its record stops before the next batch.
        if (std::string error; log != nullptr && !log->Append(records, error)) {
            output.Error("pelorant-cli: the log cannot be written: " + error);
            worst = std::max(worst, static_cast<int>(kExitWriteFailed));
            break;
        }
        if (ArrivedStopSignal() != 0 || !wait.Wait(batch + 1, output)) break;
    }
    if (const int signal = ArrivedStopSignal(); signal != 0) {
        output.Note(std::string("stopped by ") + StopSignalName(signal) + " after batch " +
                    std::to_string(counts.total.batch));
    }
    PrintSummary(counts, options.ports, output);
    return worst;
}
