#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "control/SerialNumber.h"
#include "control/SerialStock.h"

class ProgrammingSession;

// The serial numbers of a write: where each board's goes, where they come from, and whether a
// failed board gives its number back.
struct BoardSerials {
    SerialPlace place;
    SerialStock& stock;
    bool reuseOnFail = false;
};

// What giving a board its number came to.
struct GivenSerial {
    std::optional<std::uint64_t> number;  // taken from the stock, also when placing it failed
    SerialLanding landing;                // where it went, or why the place is not sound
    std::string failure;                  // empty when the number is in the loaded image
    bool placeRefused = false;            // the place is not sound: no number was taken

    bool Given() const { return failure.empty(); }
};

// Takes the board's number once its place in `session`'s loaded image is known to be sound,
// and gives it to that image: the state file says what follows before any row is written.
GivenSerial GiveSerialNumber(ProgrammingSession& session, const BoardSerials& serials);

// What became of the number of a board whose write failed.
struct ReturnedSerial {
    bool givenBack = false;
    std::string text;  // "serial number N given back", or why it was not
};

// A failed board's number goes back to the stock when `serials` say so; none when it is burnt.
std::optional<ReturnedSerial> ReturnSerialNumber(const BoardSerials& serials, std::uint64_t number);
