#include "tools/sim/BoardMemory.h"

#include <utility>

namespace board {

BoardMemory::BoardMemory(std::vector<BoardRegion> regions, std::uint32_t bootFirst,
                         std::uint32_t bootLast)
    : regions_(std::move(regions)), bootFirst_(bootFirst), bootLast_(bootLast) {
    for (BoardRegion& region : regions_) {
        region.words.assign(std::size_t{region.last - region.first} + 1, kErased);
        for (std::uint64_t address = region.first; address <= region.last; ++address) {
            if (InsideBootloader(static_cast<std::uint32_t>(address))) {
                region.words[address - region.first] =
                    address % 2 == 0 ? kBootloaderLowWord : kBootloaderHighWord;
            }
        }
    }
}

RowCheck BoardMemory::CheckRow(std::uint32_t address, std::uint8_t lengthByte) const {
    const BoardRegion* region = RegionOf(address);
    if (region == nullptr) return RowCheck::Outside;
    if (region->rowUnits <= 0 || lengthByte != 2 * region->rowUnits + 1) {
        return RowCheck::BadLength;
    }
    if (address % static_cast<std::uint32_t>(region->rowUnits) != 0) return RowCheck::Misaligned;
    const std::uint64_t rowLast = std::uint64_t{address} + region->rowUnits - 1;
    if (rowLast > region->last) return RowCheck::Outside;
    if (bootFirst_ <= bootLast_ && address <= bootLast_ && rowLast >= bootFirst_) {
        return RowCheck::IntoBootloader;
    }
    return RowCheck::Accepted;
}

void BoardMemory::ProgramRow(std::uint32_t address, const std::uint8_t* data, std::size_t length) {
    BoardRegion* region = RegionOf(address);
    if (region == nullptr) return;
    std::size_t index = address - region->first;
    for (std::size_t i = 0; i + 1 < length && index < region->words.size(); i += 2, ++index) {
        region->words[index] = static_cast<std::uint16_t>(data[i] | data[i + 1] << 8);
    }
}

std::optional<std::uint16_t> BoardMemory::Word(std::uint32_t address) const {
    const BoardRegion* region = RegionOf(address);
    if (region == nullptr) return std::nullopt;
    return region->words[address - region->first];
}

bool BoardMemory::InsideBootloader(std::uint32_t address) const {
    return bootFirst_ <= bootLast_ && address >= bootFirst_ && address <= bootLast_;
}

const BoardRegion* BoardMemory::RegionOf(std::uint32_t address) const {
    for (const BoardRegion& region : regions_) {
        if (address >= region.first && address <= region.last) return &region;
    }
    return nullptr;
}

BoardRegion* BoardMemory::RegionOf(std::uint32_t address) {
    return const_cast<BoardRegion*>(std::as_const(*this).RegionOf(address));
}

}  // namespace board
