#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/BoardLog.h"
#include "control/BoardSerials.h"

struct EngineContext;
class ProgrammingSession;

// How a station that writes one board after another numbers and records them.
struct ProductionSettings {
    bool serials = false;  // each board gets its own number
    std::uint64_t start = 0;
    std::uint64_t step = 1;
    SerialPlace place;
    std::string statePath;  // where the next number is kept
    bool reuseOnFail = false;
    std::string logPath;  // empty: no record is kept
};

// Why `settings` cannot number boards (a start too large for its words, a step of 0, no state
// file); empty when they can or give no numbers.
std::string SerialSettingsProblem(const ProductionSettings& settings);

// What one board's write came to at the station, for the front end to show.
struct StationLines {
    std::vector<std::string> notes;   // what became of the number
    std::vector<std::string> errors;  // a number not given back, a record not written
};

// One board at a time: before its write it gets the next number, after it the number is given
// back if the write failed and the settings say so, and its record goes to the log.
class ProductionStation {
public:
    // Null with `error` set when the settings cannot number boards or the log cannot be written.
    static std::unique_ptr<ProductionStation> Open(const ProductionSettings& settings,
                                                   std::string& error);

    const ProductionSettings& Settings() const { return settings_; }

    // Before `session` writes its board: the number in its loaded image, when the settings
    // give numbers. A number that is not given leaves the write unstarted.
    GivenSerial Prepare(ProgrammingSession& session);

    // After the write Prepare came before. `cause`: why it failed, in the user's terms.
    StationLines Finish(const ProgrammingSession& session, const EngineContext& engine,
                        const std::string& port, std::optional<int> com, const std::string& cause);

private:
    explicit ProductionStation(const ProductionSettings& settings);

    ProductionSettings settings_;
    std::unique_ptr<SerialStock> stock_;
    std::unique_ptr<BoardLog> log_;
    std::optional<std::uint64_t> serial_;  // the board's, between Prepare and Finish
    std::chrono::steady_clock::time_point started_;
};
