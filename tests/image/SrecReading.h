#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "device/MemoryImage.h"

// An independent reading of a HEX file: the words srec_cat finds in one image's address
// range start .. end + 1, and which of them the file sets.
struct SrecRegion {
    std::vector<std::uint16_t> words;
    std::vector<bool> used;
};

bool SrecCatAvailable();
std::optional<SrecRegion> ReadRegionWithSrecCat(const std::filesystem::path& hexFile,
                                                const CMemoryImage& image,
                                                const std::filesystem::path& workDir);
// Expects every word of the image (extra cell included) to equal srec_cat's reading.
void ExpectImageMatches(CMemoryImage& image, const SrecRegion& region);
