#include "tests/tools/cli/BenchBoards.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace benchtest {

BoardFaults FaultsOf(BoardKind kind) {
    BoardFaults faults;
    if (kind == BoardKind::Silent) faults.silent = true;
    if (kind == BoardKind::Refusing) faults.refuseRow = 2;
    return faults;
}

std::string CodeRowsHex(int rows) {
    std::string hex = ":020000040000FA\n";
    constexpr int kRowBytes = 32 * 4;  // lo, mid, hi and the phantom byte of each instruction
    for (int offset = 0; offset < rows * kRowBytes; offset += 16) {
        unsigned sum = 16 + (offset >> 8) + (offset & 0xFF);
        char field[16];
        std::snprintf(field, sizeof field, ":10%04X00", offset);
        hex += field;
        for (int i = 0; i < 16; ++i) {
            // Instruction words of 24 bits: the fourth byte of each group stays 0.
            const unsigned byte = i % 4 == 3 ? 0 : static_cast<unsigned>(((offset + i) * 7) & 0xFF);
            std::snprintf(field, sizeof field, "%02X", byte);
            hex += field;
            sum += byte;
        }
        std::snprintf(field, sizeof field, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        hex += field;
    }
    return hex + ":00000001FF\n";
}

Bench::Bench()
    : configHome_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
      runtimeDir_("XDG_RUNTIME_DIR", (dir_.path() / "run").string()),
      lockDir_("LUNVIK_LOCK_DIR", dir_.path().string()) {}

VirtualBoard& Bench::Add(BoardKind kind, BoardOptions options) {
    options.cataloguePath = kCatalogueDir + "/qor_dspiclist.xml";
    options.device = "dsPIC30F4011";
    options.faults = FaultsOf(kind);
    std::string error;
    auto board = VirtualBoard::Start(options, &error);
    if (!board) ADD_FAILURE() << error;
    boards_.push_back(std::move(board));
    return *boards_.back();
}

std::vector<std::string> Bench::WithPorts(std::vector<std::string> args) const {
    for (const auto& board : boards_) args.insert(args.end(), {"--port", PortOf(*board)});
    args.insert(args.end(), {"--workdir", kCatalogueDir, "--detect-timeout", "2"});
    return args;
}

CliRun Bench::Run(std::vector<std::string> args) const {
    return RunCli(WithPorts(std::move(args)));
}

CliRun Bench::RunWatched(std::vector<std::string> args,
                         const std::function<void(CliProcessId)>& watch) const {
    return RunCliWatched(WithPorts(std::move(args)), watch);
}

std::string PortOf(const VirtualBoard& board) {
    return board.ComNumber() != 0 ? "COM" + std::to_string(board.ComNumber()) : board.DevicePath();
}

std::vector<std::uint32_t> RowsReceivedBy(const VirtualBoard& board) {
    std::vector<std::uint32_t> rows;
    for (const ReceivedFrame& frame : board.Frames()) {
        if (frame.bytes.size() < 4 || frame.bytes[0] != 0x02) continue;
        rows.push_back(std::uint32_t{frame.bytes[1]} << 16 | std::uint32_t{frame.bytes[2]} << 8 |
                       frame.bytes[3]);
    }
    return rows;
}

std::map<std::string, TableLine> ParseTable(const std::string& out) {
    std::map<std::string, TableLine> table;
    bool inTable = false;
    for (const std::string& line : Lines(out)) {
        const std::vector<std::string> words = Words(line);
        if (words == std::vector<std::string>{"port", "chip", "rows", "seconds", "result"}) {
            inTable = true;
            continue;
        }
        if (!inTable || words.size() < 5) continue;
        // The result is the rest of the line after the seconds.
        const std::size_t seconds = line.find(" " + words[3] + " ", line.find(words[2]));
        table[words[0]] = {words[1], std::stoul(words[2]),
                           line.substr(seconds + words[3].size() + 3)};
    }
    return table;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        // A text file written on Windows ends its lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace benchtest
