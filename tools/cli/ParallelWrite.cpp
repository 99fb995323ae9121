#include <chrono>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/cli/BoardTable.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/ExitStatus.h"

namespace {

// What one board's thread needs and leaves: its own engine state, its view of the output,
// its options (its port alone) and its outcome.
struct Board {
    Board(ConsoleOutput& shared, const CliOptions& common, const std::string& port,
          std::size_t slot)
        : output(shared, port, slot), options(common) {
        options.port = port;
        outcome.port = port;
    }

    void Write(const WriteSources& sources) {
        const auto started = std::chrono::steady_clock::now();
        const BoardWriteResult result = WriteBoard(options, output, app, sources);
        outcome.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        outcome.status = result.status;
        outcome.rowsWritten = result.rowsWritten;
        outcome.reason = result.reason;
        outcome.chip = app.m_device.name;
    }

    CBootloaderApp app;
    ConsoleOutput output;
    CliOptions options;
    BoardOutcome outcome;
    std::thread thread;
};

}  // namespace

int WriteBoards(const CliOptions& options, ConsoleOutput& output, const WriteSources& sources) {
    std::vector<std::unique_ptr<Board>> boards;
    for (const std::string& port : options.ports) {
        boards.push_back(std::make_unique<Board>(output, options, port, boards.size()));
    }
    output.ShowBoardPanel(boards.size());
    for (const auto& board : boards) {
        try {
            board->thread = std::thread([&board = *board, &sources] { board.Write(sources); });
        } catch (const std::system_error& error) {
            board->outcome.status = kExitWriteFailed;
            board->outcome.reason = std::string("no thread for this board: ") + error.what();
        }
    }
    std::vector<BoardOutcome> outcomes;
    for (const auto& board : boards) {
        if (board->thread.joinable()) board->thread.join();
        outcomes.push_back(board->outcome);
    }
    output.CloseBoardPanel();
    output.Result("file " + sources.hex->file.path + " sha256 " + sources.hex->sha256);
    for (const std::string& line : FormatBoardTable(outcomes)) output.Result(line);
    return WorstStatus(outcomes);
}
