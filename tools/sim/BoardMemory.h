#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace board {

// One memory of the board: word addresses first..last, all inclusive.
struct BoardRegion {
    std::string name;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    int rowUnits = 0;  // address units per row: 2 x instructions per row
    std::vector<std::uint16_t> words;
};

enum class RowCheck { Accepted, BadLength, Outside, Misaligned, IntoBootloader };

// The flash, EEPROM and configuration words of the board. Everything starts erased
// (0xFFFF) except the bootloader range, which holds the bootloader's own code and can
// never be written.
class BoardMemory {
public:
    static constexpr std::uint16_t kErased = 0xFFFF;
    // The bootloader's instructions read 0xB0B007: easy to spot in a dump.
    static constexpr std::uint16_t kBootloaderLowWord = 0xB007;
    static constexpr std::uint16_t kBootloaderHighWord = 0x00B0;

    // `bootLast` is the last word of the bootloader (the catalogue's end + 1).
    BoardMemory(std::vector<BoardRegion> regions, std::uint32_t bootFirst, std::uint32_t bootLast);

    // Whether a row frame for `address` with `lengthByte` may be programmed.
    RowCheck CheckRow(std::uint32_t address, std::uint8_t lengthByte) const;
    // Programs 4-byte groups from `address` on; the row must have passed CheckRow.
    void ProgramRow(std::uint32_t address, const std::uint8_t* data, std::size_t length);

    std::optional<std::uint16_t> Word(std::uint32_t address) const;
    bool InsideBootloader(std::uint32_t address) const;
    const std::vector<BoardRegion>& Regions() const { return regions_; }

private:
    const BoardRegion* RegionOf(std::uint32_t address) const;
    BoardRegion* RegionOf(std::uint32_t address);

    std::vector<BoardRegion> regions_;
    std::uint32_t bootFirst_;
    std::uint32_t bootLast_;
};

}  // namespace board
