#include <chrono>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "control/ExitStatus.h"
#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/SessionRecord.h"

namespace {

// "batch 3: 17 ok, 1 failed"
std::string CountsText(const BatchCounts& counts) {
    return "batch " + std::to_string(counts.batch) + ": " + std::to_string(counts.ok) + " ok, " +
           std::to_string(counts.failed) + " failed";
}

// The batch's line of the panel, counted on as each board ends.
class BatchTally {
public:
    BatchTally(ConsoleOutput& output, BatchCounts counts) : output_(output), counts_(counts) {
        Show();
    }

    void Ended(int status) {
        std::lock_guard<std::mutex> guard(lock_);
        ++(status == kExitOk ? counts_.ok : counts_.failed);
        Show();
    }

private:
    void Show() {
        if (counts_.batch > 0) output_.SetPanelTitle(CountsText(counts_));
    }

    ConsoleOutput& output_;
    BatchCounts counts_;
    std::mutex lock_;
};

// What one board's thread needs and leaves: its own engine state, its view of the output,
// its options (its port alone) and its record.
struct Board {
    Board(ConsoleOutput& shared, const CliOptions& common, const std::string& port,
          std::size_t slot)
        : output(shared, port, slot), options(common) {
        options.port = port;
    }

    void Write(const WriteSources& sources, const BoardSerials* serials, BatchTally& tally) {
        record = WriteBoard(options, output, app, sources, serials);
        tally.Ended(record.status);
    }

    CBootloaderApp app;
    ConsoleOutput output;
    CliOptions options;
    BoardRecord record;
    std::thread thread;
};

}  // namespace

std::vector<BoardRecord> WriteBatch(const CliOptions& options, ConsoleOutput& output,
                                    const WriteSources& sources, const BoardSerials* serials,
                                    BatchCounts counts) {
    std::vector<std::unique_ptr<Board>> boards;
    for (const std::string& port : options.ports) {
        boards.push_back(std::make_unique<Board>(output, options, port, boards.size()));
    }
    output.ShowBoardPanel(boards.size());
    BatchTally tally(output, counts);
    for (const auto& board : boards) {
        try {
            board->thread = std::thread([&board = *board, &sources, serials, &tally] {
                board.Write(sources, serials, tally);
            });
        } catch (const std::system_error& error) {
            BoardRecord& record = board->record;
            record = PortRecord(board->options.port, *sources.hex);
            record.time = std::chrono::system_clock::now();
            record.status = kExitWriteFailed;
            record.cause = std::string("no thread for this board: ") + error.what();
            tally.Ended(record.status);
        }
    }
    std::vector<BoardRecord> records;
    for (const auto& board : boards) {
        if (board->thread.joinable()) board->thread.join();
        records.push_back(board->record);
    }
    output.CloseBoardPanel();
    return records;
}

std::vector<BoardRecord> WriteBoards(const CliOptions& options, ConsoleOutput& output,
                                     const WriteSources& sources, const BoardSerials* serials) {
    const std::vector<BoardRecord> records = WriteBatch(options, output, sources, serials, {});
    output.Result("file " + sources.hex->file.path + " sha256 " + sources.hex->sha256);
    for (const std::string& line : FormatBoardTable(records)) output.Result(line);
    return records;
}
