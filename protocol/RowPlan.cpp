#include "protocol/RowPlan.h"

#include <algorithm>
#include <optional>

#include "device/MemoryImage.h"
#include "protocol/Frames.h"

namespace {

struct UsedSpan {
    std::uint64_t first;
    std::uint64_t last;
};

// The used cells of the whole image, the cell at `end` and the one beyond it included:
// a register or instruction at the image's last address is data like any other.
std::optional<UsedSpan> FindUsedSpan(const CMemoryImage& image) {
    if (!image.cells) return std::nullopt;
    const std::uint64_t cellCount = std::uint64_t{image.count} + 1;
    std::uint64_t i = 0;
    while (i < cellCount && !image.cells[i].used) ++i;
    if (i == cellCount) return std::nullopt;
    std::uint64_t j = cellCount - 1;
    while (!image.cells[j].used) --j;
    return UsedSpan{image.start + i, image.start + j};
}

bool RowHoldsUsedCell(const CMemoryImage& image, std::uint64_t rowStart, std::uint64_t rowEnd) {
    const std::uint64_t lastCell = std::uint64_t{image.end} + 1;
    const std::uint64_t from = std::max<std::uint64_t>(rowStart, image.start);
    const std::uint64_t to = std::min(rowEnd, lastCell);
    for (std::uint64_t address = from; address <= to; ++address) {
        if (image.cells[address - image.start].used) return true;
    }
    return false;
}

}  // namespace

RowPlan PlanRows(CMemoryImage& image, int rowUnits, std::uint32_t bootStart,
                 std::uint32_t bootEnd) {
    RowPlan plan;
    if (bootproto::WriteFrameLength(rowUnits) < 0) return plan;
    plan.rowSizeValid = true;

    const std::optional<UsedSpan> used = FindUsedSpan(image);
    if (!used) return plan;

    const std::uint64_t units = static_cast<std::uint64_t>(rowUnits);
    // The bootloader's last address names its last instruction, whose upper cell is the
    // next, odd address.
    const std::uint64_t bootFirst = bootStart;
    const std::uint64_t bootLast = std::uint64_t{bootEnd} | 1;
    // A row that would start beyond the image's last address is not part of the memory.
    const std::uint64_t lastRow = std::min(used->last, std::uint64_t{image.end}) / units * units;

    for (std::uint64_t row = used->first / units * units; row <= lastRow; row += units) {
        const std::uint64_t rowEnd = row + units - 1;
        const auto address = static_cast<std::uint32_t>(row);
        if (row <= bootLast && rowEnd >= bootFirst) {
            plan.skippedBootloader.push_back(address);
        } else if (image.IsProtected(address)) {
            plan.skippedProtected.push_back(address);
        } else if (!RowHoldsUsedCell(image, row, rowEnd)) {
            plan.skippedUnused.push_back(address);
        } else {
            plan.rows.push_back(address);
        }
    }
    return plan;
}
