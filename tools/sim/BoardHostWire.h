#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "tools/sim/VirtualBoard.h"

// How a program that cannot open pseudo-terminals (a Windows test under Wine) uses a board
// served by pelorant-board-host. The program sends the board's options as pelorant-sim
// arguments, one per line, ended by an empty line; the host answers "ok <COM number>" or
// "error <text>". Then each request is a line and each answer "ok[ <value>]" or
// "error <text>"; "frames" is answered "ok <n>" and n frame lines. "stop", or closing the
// connection, stops the board and removes its port; "stop" answers once both are gone.
namespace boardhost {

inline constexpr const char* kHostVariable = "PELORANT_BOARD_HOST";  // "127.0.0.1:<port>"

inline constexpr const char* kReset = "reset";
// dtr=0|1, rts=0|1 (tools/sim/ModemLineCommand.h): ok
inline constexpr const char* kRunning = "running";          // ok 0|1
inline constexpr const char* kFrames = "frames";            // ok <n>, then n frame lines
inline constexpr const char* kRows = "rows";                // ok <rows programmed>
inline constexpr const char* kWord = "word";                // word <address>: ok <value>|ok none
inline constexpr const char* kInsideBootloader = "inside";  // inside <address>: ok 0|1
inline constexpr const char* kDump = "dump";                // dump <path>: ok|error <text>
inline constexpr const char* kStop = "stop";                // ok, then the host closes

// Bytes in as they arrive, whole lines out (without the line end).
class LineBuffer {
public:
    void Append(const char* bytes, std::size_t count) { pending_.append(bytes, count); }
    std::optional<std::string> Take();

private:
    std::string pending_;
};

// "<seconds> <bytes in hex>", and back.
std::string FrameLine(const ReceivedFrame& frame);
std::optional<ReceivedFrame> ParseFrameLine(const std::string& line);

}  // namespace boardhost
