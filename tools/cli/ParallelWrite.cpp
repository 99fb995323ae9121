#include <chrono>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/SessionRecord.h"

namespace {

// What one board's thread needs and leaves: its own engine state, its view of the output,
// its options (its port alone) and its record.
struct Board {
    Board(ConsoleOutput& shared, const CliOptions& common, const std::string& port,
          std::size_t slot)
        : output(shared, port, slot), options(common) {
        options.port = port;
    }

    void Write(const WriteSources& sources) { record = WriteBoard(options, output, app, sources); }

    CBootloaderApp app;
    ConsoleOutput output;
    CliOptions options;
    BoardRecord record;
    std::thread thread;
};

}  // namespace

std::vector<BoardRecord> WriteBoards(const CliOptions& options, ConsoleOutput& output,
                                     const WriteSources& sources) {
    std::vector<std::unique_ptr<Board>> boards;
    for (const std::string& port : options.ports) {
        boards.push_back(std::make_unique<Board>(output, options, port, boards.size()));
    }
    output.ShowBoardPanel(boards.size());
    for (const auto& board : boards) {
        try {
            board->thread = std::thread([&board = *board, &sources] { board.Write(sources); });
        } catch (const std::system_error& error) {
            BoardRecord& record = board->record;
            record = PortRecord(board->options.port, *sources.hex);
            record.time = std::chrono::system_clock::now();
            record.status = kExitWriteFailed;
            record.cause = std::string("no thread for this board: ") + error.what();
        }
    }
    std::vector<BoardRecord> records;
    for (const auto& board : boards) {
        if (board->thread.joinable()) board->thread.join();
        records.push_back(board->record);
    }
    output.CloseBoardPanel();
    output.Result("file " + sources.hex->file.path + " sha256 " + sources.hex->sha256);
    for (const std::string& line : FormatBoardTable(records)) output.Result(line);
    return records;
}
