#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/tools/cli/CliRunner.h"
#include "tools/sim/VirtualBoard.h"

namespace benchtest {

inline const std::string kCatalogueDir = std::string(PELORANT_SOURCE_DIR) + "/catalogue";
inline const std::string kSample =
    std::string(PELORANT_SOURCE_DIR) + "/samples/dsPIC30F4011-counter.hex";

// The kinds of board a bench meets.
enum class BoardKind { Good, Silent, Refusing };

// The faults of a kind; a refusing board refuses its third row.
BoardFaults FaultsOf(BoardKind kind);

// Program flash of `rows` full rows of 32 instructions from address 0, as Intel HEX.
std::string CodeRowsHex(int rows);

// A bench of virtual dsPIC30F4011 boards, each on its own port, with the tool's
// settings, port links and locks in a directory of their own.
class Bench {
public:
    Bench();

    VirtualBoard& Add(BoardKind kind, BoardOptions options = {});
    VirtualBoard& Board(std::size_t i) { return *boards_.at(i); }
    std::size_t Size() const { return boards_.size(); }

    // pelorant-cli with every board's --port, the catalogue and a short detection limit.
    CliRun Run(std::vector<std::string> args) const;
    CliRun RunWatched(std::vector<std::string> args,
                      const std::function<void(CliProcessId)>& watch) const;

    const testsupport::TempDir& Dir() const { return dir_; }

private:
    std::vector<std::string> WithPorts(std::vector<std::string> args) const;

    testsupport::TempDir dir_;
    testsupport::ScopedEnv configHome_;
    testsupport::ScopedEnv runtimeDir_;
    testsupport::ScopedEnv lockDir_;
    std::vector<std::unique_ptr<VirtualBoard>> boards_;
};

// The board's port as the user names it: COM<n> where the board has a COM number, else its
// device path.
std::string PortOf(const VirtualBoard& board);

// The start addresses of the row frames the board received, in order.
std::vector<std::uint32_t> RowsReceivedBy(const VirtualBoard& board);

// A line of the closing table of a write to several boards.
struct TableLine {
    std::string chip;
    std::size_t rows = 0;
    std::string result;
};

// The closing table by port: the lines after the header "port chip rows seconds result".
std::map<std::string, TableLine> ParseTable(const std::string& out);

// The words of `line` split at blanks.
std::vector<std::string> Words(const std::string& line);
std::vector<std::string> Lines(const std::string& text);

}  // namespace benchtest
