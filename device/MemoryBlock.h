#pragma once

#include <cstdint>

#include "device/MemoryImage.h"

// The three memories a write walks, in its fixed order. The index is the block's place in
// CDeviceInfo::images, in a write's order and in every per-block table.
inline constexpr int kBlockCode = 0;
inline constexpr int kBlockEeprom = 1;
inline constexpr int kBlockConfig = 2;
inline constexpr int kBlockCount = 3;

struct MemoryBlock {
    int index;
    const char* name;  // as the user reads it: "program flash"
    const char* key;   // as the user types it (--memories) and the boxes name it: "code"
};

inline constexpr MemoryBlock kMemoryBlocks[kBlockCount] = {
    {kBlockCode, "program flash", "code"},
    {kBlockEeprom, "data EEPROM", "eeprom"},
    {kBlockConfig, "configuration", "config"},
};

inline bool IsBlockIndex(int block) {
    return block >= kBlockCode && block <= kBlockConfig;
}

// A row of the image in word address units: two per instruction.
inline std::int32_t RowUnits(const CMemoryImage& image) {
    return 2 * image.instructionsPerRow;
}
