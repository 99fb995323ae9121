// pelorant-cli --trace and -v: every byte on the line, named by its exchange, in the format
// of the virtual board's frame log.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/tools/cli/BenchBoards.h"

using namespace benchtest;

namespace {

const char* const kOneRowHex = ":020000040000FA\n:080000000001040000000000F3\n:00000001FF\n";

// "<µs> <port> <H>B|B>H> <exchange>: <bytes>"
struct TraceLine {
    unsigned long long micros = 0;
    std::string port;
    std::string direction;
    std::string exchange;
    std::string bytes;  // "55 01", "none" or "failed"
};

bool IsHexBytes(const std::string& text) {
    for (const std::string& byte : Words(text)) {
        if (byte.size() != 2 || byte.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
            return false;
        }
    }
    return !text.empty();
}

std::optional<TraceLine> ParseTraceLine(const std::string& line) {
    TraceLine parsed;
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || space == 0) return std::nullopt;
    const std::string micros = line.substr(0, space);
    if (micros.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    parsed.micros = std::stoull(micros);
    const std::size_t portEnd = line.find(' ', space + 1);
    if (portEnd == std::string::npos) return std::nullopt;
    parsed.port = line.substr(space + 1, portEnd - space - 1);
    parsed.direction = line.substr(portEnd + 1, 3);
    if (parsed.direction != "H>B" && parsed.direction != "B>H") return std::nullopt;
    if (line.size() < portEnd + 5 || line[portEnd + 4] != ' ') return std::nullopt;
    const std::size_t colon = line.find(": ", portEnd + 5);
    if (colon == std::string::npos) return std::nullopt;
    parsed.exchange = line.substr(portEnd + 5, colon - portEnd - 5);
    parsed.bytes = line.substr(colon + 2);
    if (parsed.bytes != "none" && parsed.bytes != "failed" && !IsHexBytes(parsed.bytes)) {
        return std::nullopt;
    }
    return parsed;
}

std::vector<TraceLine> ParseTrace(const std::string& text) {
    std::vector<TraceLine> lines;
    for (const std::string& line : Lines(text)) {
        const auto parsed = ParseTraceLine(line);
        EXPECT_TRUE(parsed) << "not a trace line: " << line;
        if (parsed) lines.push_back(*parsed);
    }
    return lines;
}

// Direction, exchange and bytes, without the probes (their number depends on timing).
std::vector<std::string> Exchanges(const std::vector<TraceLine>& trace) {
    std::vector<std::string> exchanges;
    for (const TraceLine& line : trace) {
        if (line.exchange == "probe") continue;
        exchanges.push_back(line.direction + " " + line.exchange + ": " + line.bytes);
    }
    return exchanges;
}

TEST(TraceTest, AShortWriteTracesEveryExchangeInOrderAsTheBoardLogsIt) {
    Bench bench;
    BoardOptions options;
    const auto boardLog = bench.Dir().path() / "board.log";
    options.frameLogPath = boardLog.string();
    bench.Add(BoardKind::Good, options);
    const auto hex = bench.Dir().Write("one-row.hex", kOneRowHex);
    const auto traceFile = bench.Dir().path() / "trace.log";
    const CliRun run = bench.Run({"write", "--trace", traceFile.string(), "-v", hex.string()});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string port = PortOf(bench.Board(0));
    const std::vector<TraceLine> trace = ParseTrace(testsupport::ReadFile(traceFile));
    ASSERT_FALSE(trace.empty());
    ASSERT_EQ(trace.front().exchange, "probe");
    for (std::size_t i = 0; i < trace.size(); ++i) {
        EXPECT_EQ(trace[i].port, port);
        if (i > 0) {
            EXPECT_GE(trace[i].micros, trace[i - 1].micros);
        }
    }
    // The row frame as the board received it.
    std::string frame;
    for (const ReceivedFrame& received : bench.Board(0).Frames()) {
        if (received.bytes.empty() || received.bytes[0] != 0x02) continue;
        for (const std::uint8_t byte : received.bytes) {
            char field[4];
            std::snprintf(field, sizeof field, "%s%02X", frame.empty() ? "" : " ", byte);
            frame += field;
        }
    }
    ASSERT_EQ(frame.rfind("02 00 00 00 81 ", 0), 0u) << frame;
    const std::vector<std::string> expected = {
        "H>B identify: 01 FF 00 00",
        "B>H identify: 00 01 01 55",
        "H>B version: 03",
        "B>H version: 01 04 55",
        "H>B sync check: 33",
        "B>H sync check: FF",
        "H>B row 0 at 0x000000: " + frame,
        "B>H ack row 0 at 0x000000: 55",
        // The check after the block: nothing of the board came between the row and it.
        "H>B sync check: 33",
        "B>H sync check: FF",
    };
    EXPECT_EQ(Exchanges(trace), expected);

    // -v: the same lines on stderr.
    for (const std::string& line : Lines(testsupport::ReadFile(traceFile))) {
        EXPECT_NE(run.err.find(line + "\n"), std::string::npos) << line;
    }
    // The board's log, in the same format, saw the same exchanges.
    EXPECT_EQ(Exchanges(ParseTrace(testsupport::ReadFile(boardLog))), expected);
}

// With several boards in one trace, each line names its board; what each board's lines show
// tells its kind apart.
TEST(TraceTest, EachBoardsLinesNameItsPortAndShowHowItAnswered) {
    struct Case {
        BoardKind kind;
        std::vector<std::string> shown;     // lines (direction, exchange, bytes) present
        std::vector<std::string> notShown;  // exchanges absent
    };
    const std::vector<Case> cases = {
        {BoardKind::Good,
         {"H>B probe: 55", "B>H probe: 55", "B>H ack row 0 at 0x000000: 55"},
         {"stray"}},
        {BoardKind::Silent, {"H>B probe: 55", "B>H probe: none"}, {"identify", "row 0"}},
        {BoardKind::Refusing,
         {"B>H ack row 1 at 0x000100: 55", "B>H ack row 2 at 0x000140: EE"},
         {"row 3"}},
    };
    Bench bench;
    for (const Case& c : cases) bench.Add(c.kind);
    const auto traceFile = bench.Dir().path() / "trace.log";
    const CliRun run = bench.Run({"write", "--trace", traceFile.string(), kSample});
    EXPECT_EQ(run.status, 4) << run.err;

    const std::vector<TraceLine> trace = ParseTrace(testsupport::ReadFile(traceFile));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string lines;
        for (const TraceLine& line : trace) {
            if (line.port != PortOf(bench.Board(i))) continue;
            lines += line.direction + " " + line.exchange + ": " + line.bytes + "\n";
        }
        for (const std::string& shown : cases[i].shown) {
            EXPECT_NE(lines.find(shown + "\n"), std::string::npos) << shown << " in\n" << lines;
        }
        for (const std::string& absent : cases[i].notShown) {
            EXPECT_EQ(lines.find(absent), std::string::npos) << absent << " in\n" << lines;
        }
    }
}

}  // namespace
