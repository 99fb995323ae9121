#pragma once

#include <cstdint>
#include <vector>

class CMemoryImage;

// Which rows of one block a write sends and which it passes over, and why. The row writer
// sends exactly `rows`; the command-line check prints the same plan.
struct RowPlan {
    bool rowSizeValid = false;        // false: rows of this size cannot be framed, nothing is sent
    std::vector<std::uint32_t> rows;  // row start addresses to send, ascending
    std::vector<std::uint32_t> skippedBootloader;  // rows overlapping the bootloader
    std::vector<std::uint32_t> skippedProtected;   // rows whose first address is protected
    std::vector<std::uint32_t> skippedUnused;      // rows holding no word of the file
};

RowPlan PlanRows(CMemoryImage& image, int rowUnits, std::uint32_t bootStart, std::uint32_t bootEnd);
