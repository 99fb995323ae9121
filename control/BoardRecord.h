#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What one board's write came to, as the log and the JSON output record it. It is made from
// the session's own outcomes, never from the text printed about them.

// One memory of the write, as far as the write got.
struct MemoryRecord {
    int block = 0;            // kBlockCode, kBlockEeprom or kBlockConfig
    std::uint32_t rows = 0;   // rows the board acknowledged
    std::uint64_t bytes = 0;  // their data bytes on the line
    bool complete = false;    // every row of the plan acknowledged
};

struct BoardRecord {
    std::chrono::system_clock::time_point time;  // when the board's write ended
    std::string host;                            // the station: this machine's name
    std::string port;                            // as the user named it
    std::optional<int> com;                      // n of COMn, when the port was named so
    std::optional<std::string> deviceId;         // "0x0101", once the board told it
    std::optional<std::string> deviceName;       // once the board was identified
    std::optional<std::string> firmware;         // the bootloader's version, "1.2"
    std::string hexPath;
    std::string hexSha256;
    std::optional<std::uint64_t> serial;  // the number this board got, when it got one
    std::vector<MemoryRecord> memories;   // in write order
    double seconds = 0;                   // from the detection's start to the end
    int status = 0;                       // the board's exit status
    std::string cause;                    // why it failed; empty when it did not

    std::uint32_t RowsWritten() const;
};

// The record's result word: "ok", "failed", or "stopped" (by a signal).
const char* ResultWord(int status);
