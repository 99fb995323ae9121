#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "control/LoadedImage.h"

// Where each board's own number goes: `words` 16-bit words, least significant first, from the
// word address `address` of data EEPROM or program flash. Each word takes one EEPROM word or
// the low 16 bits of one instruction, so the words sit at address, address + 2, ...
struct SerialPlace {
    std::uint32_t address = 0;
    unsigned words = 1;
};

inline constexpr unsigned kMostSerialWords = 4;

// Why no number can be placed before a file is loaded.
inline constexpr const char* kNoImageForSerialNumber =
    "no HEX file is loaded to take the serial number";

// The largest number `words` words hold (1 to kMostSerialWords).
std::uint64_t LargestSerialNumber(unsigned words);

// Where a number lands in a loaded image, or why it cannot.
struct SerialLanding {
    std::string refusal;              // empty when it lands
    int block = -1;                   // the memory holding it
    std::vector<std::uint32_t> rows;  // the rows holding its words, ascending

    bool Lands() const { return refusal.empty(); }
};

// Whether a number can go to `place` in the memories `image` was loaded for: inside data
// EEPROM or program flash, clear of the jump into the bootloader, of the bootloader itself and
// of protected words, in rows a write sends.
SerialLanding LandSerialNumber(const LoadedImage& image, SerialPlace place);

struct SerialStamp {
    SerialLanding landing;
    std::shared_ptr<const LoadedImage> image;  // set when the number landed
};

// `image` with `number` in its words and that memory planned again: the rows holding the
// number are sent even where the file has no data, and the memory is written by default.
// A number too large for its words is refused like a place that is not sound.
SerialStamp StampSerialNumber(const LoadedImage& image, SerialPlace place, std::uint64_t number);
