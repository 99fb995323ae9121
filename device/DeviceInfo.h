#pragma once

#include <cstdint>

#include "device/MemoryImage.h"

// The identified device: name, the three memory images and the bootloader range.
struct CDeviceInfo {
    static constexpr int kCode = 0;
    static constexpr int kData = 1;
    static constexpr int kConfig = 2;

    char name[260] = {};
    CMemoryImage images[3];
    std::uint32_t bootStart = 0;
    std::uint32_t bootEnd = 0;
};
