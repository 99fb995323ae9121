#pragma once

#include <cstdint>

#include "device/MemoryBlock.h"
#include "device/MemoryImage.h"

// The identified device: name, the three memory images and the bootloader range.
struct CDeviceInfo {
    char name[260] = {};
    CMemoryImage images[kBlockCount];  // by block index (device/MemoryBlock.h)
    std::uint32_t bootStart = 0;
    std::uint32_t bootEnd = 0;
};
