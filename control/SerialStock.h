#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Where the boards' numbers come from: START, START + STEP, ... or the numbers of a list, in
// its order.
struct SerialSource {
    std::uint64_t start = 0;
    std::uint64_t step = 1;
    std::vector<std::uint64_t> list;  // when not empty, the numbers to give, each once
};

// What the state file keeps: the next number of the sequence (or the next place in the list)
// and the numbers given back by failed boards, which go first.
struct SerialState {
    bool list = false;  // `next` counts the list's numbers, not the numbers themselves
    std::uint64_t next = 0;
    std::vector<std::uint64_t> returned;  // ascending
};

// A whole decimal or 0x hexadecimal number of 64 bits, as the numbers and places of serial
// numbers are written; empty when `text` is anything else.
std::optional<std::uint64_t> ParseWholeNumber(const std::string& text);

// "next 1024\n" (or "next-in-list 3\n"), then one "returned N\n" per number given back.
std::string FormatSerialState(const SerialState& state);
// Empty with `reason` set when `text` is not such a file.
std::optional<SerialState> ParseSerialState(const std::string& text, std::string& reason);

// The numbers of a --serial-list file: one decimal (or 0x hex) number a line, blank lines and
// lines starting with # left out; a number given twice is refused.
std::optional<std::vector<std::uint64_t>> ParseSerialList(const std::string& text,
                                                          std::string& reason);

// The boards' numbers, handed out through a state file that every station sharing it reads and
// replaces under its lock, before the number is used: a number is never given twice, not after
// a crash and not to two stations. Several threads may take numbers at once.
class SerialStock {
public:
    // Numbers above `largest` are not given.
    SerialStock(SerialSource source, std::string statePath, std::uint64_t largest);

    // The next number, with the state file already saying what follows it; empty with `reason`
    // set when none can be given (the list used up, the next number too large, the file not
    // sound or not writable), and then the file is as it was.
    std::optional<std::uint64_t> Take(std::string& reason);
    // A failed board's number goes back to be given first; false with `reason` when the state
    // file cannot be changed.
    bool GiveBack(std::uint64_t number, std::string& reason);

    const std::string& StatePath() const { return statePath_; }

private:
    std::optional<SerialState> ReadState(std::string& reason) const;
    bool SaveState(const SerialState& state, std::string& reason) const;

    const SerialSource source_;
    const std::string statePath_;
    const std::string lockPath_;
    const std::uint64_t largest_;
    std::mutex mutex_;  // a network file system's lock may not keep this process's threads apart
};
