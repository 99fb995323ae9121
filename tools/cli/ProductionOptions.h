#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

// How the next batch of a repeated write starts: a line on standard input (Enter on a
// terminal), or every port going away and coming back, as USB adapters do with their boards.
enum class NextBatch { Line, Replug };

// The options of a production run: batch after batch, a serial number per board.
struct ProductionOptions {
    bool repeat = false;  // --repeat
    NextBatch next = NextBatch::Line;
    std::optional<std::uint64_t> serialStart;  // --serial START[:STEP]
    std::uint64_t serialStep = 1;
    std::string serialList;                 // --serial-list FILE
    std::optional<std::uint32_t> serialAt;  // --serial-at ADDRESS
    unsigned serialWords = 1;               // --serial-words N
    std::string serialState;                // --serial-state FILE
    bool reuseOnFail = false;               // --serial-on-fail reuse

    bool SerialWanted() const { return serialStart.has_value() || !serialList.empty(); }
};

// The production options of `command`: write takes them all, check the serial number's.
const std::set<std::string>& ProductionOptionsOf(const std::string& command);
bool ProductionTakesValue(const std::string& name);
bool IsProductionFlag(const std::string& name);

// Stores one production option; false with `error` set when its value is not sound.
bool StoreProductionValue(const std::string& name, const std::string& value,
                          ProductionOptions& options, std::string& error);
void StoreProductionFlag(const std::string& name, ProductionOptions& options);
// Whether the options given (by name) go together.
bool CheckProductionOptions(const std::set<std::string>& given, const ProductionOptions& options,
                            std::string& error);
