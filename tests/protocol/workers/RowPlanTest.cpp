#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/MemoryImage.h"
#include "protocol/RowPlan.h"

namespace {

using Rows = std::vector<std::uint32_t>;

constexpr int kRowUnits = 64;
constexpr std::uint32_t kNoBootStart = 0xFFFFF0;  // far above every image of these tests
constexpr std::uint32_t kNoBootEnd = 0xFFFFFE;

void Use(CMemoryImage& image, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t a = first; a <= last; ++a) image.WriteWord(a, static_cast<std::uint16_t>(a));
}

TEST(RowPlanTest, WidensTheUsedRangeToWholeRows) {
    CMemoryImage image;
    image.SetRange(0, 0xFFF);
    Use(image, 0x10, 0x50);
    RowPlan plan = PlanRows(image, kRowUnits, kNoBootStart, kNoBootEnd);
    EXPECT_TRUE(plan.rowSizeValid);
    EXPECT_EQ(plan.rows, (Rows{0x00, 0x40}));

    // A last used cell that is the first cell of a row still brings that row.
    image.Clear();
    Use(image, 0x3E, 0x40);
    EXPECT_EQ(PlanRows(image, kRowUnits, kNoBootStart, kNoBootEnd).rows, (Rows{0x00, 0x40}));
}

TEST(RowPlanTest, RowsTheFileDoesNotTouchAreSkipped) {
    CMemoryImage image;
    image.SetRange(0, 0xFFF);
    Use(image, 0x000, 0x003);
    Use(image, 0x100, 0x101);
    RowPlan plan = PlanRows(image, kRowUnits, kNoBootStart, kNoBootEnd);
    EXPECT_EQ(plan.rows, (Rows{0x000, 0x100}));
    EXPECT_EQ(plan.skippedUnused, (Rows{0x040, 0x080, 0x0C0}));
}

TEST(RowPlanTest, ProtectedRowIsSkippedEvenWithData) {
    CMemoryImage image;
    image.SetRange(0, 0xFFF);
    image.MarkProtected(0x40, 0x7F);
    Use(image, 0x00, 0xBF);
    RowPlan plan = PlanRows(image, kRowUnits, kNoBootStart, kNoBootEnd);
    EXPECT_EQ(plan.rows, (Rows{0x00, 0x80}));
    EXPECT_EQ(plan.skippedProtected, (Rows{0x40}));
}

TEST(RowPlanTest, BootloaderIsClippedOnBothSides) {
    CMemoryImage image;
    image.SetRange(0, 0xFFF);
    Use(image, 0x000, 0xFFF);

    RowPlan aligned = PlanRows(image, kRowUnits, 0x400, 0x7FE);
    EXPECT_EQ(aligned.rows.size(), 64u - 16u);
    EXPECT_EQ(aligned.skippedBootloader.front(), 0x400u);
    EXPECT_EQ(aligned.skippedBootloader.back(), 0x7C0u);
    EXPECT_EQ(aligned.rows[15], 0x3C0u);
    EXPECT_EQ(aligned.rows[16], 0x800u);

    // A bootloader that is not row-aligned takes the rows it touches with it.
    RowPlan unaligned = PlanRows(image, kRowUnits, 0x410, 0x7EE);
    EXPECT_EQ(unaligned.skippedBootloader, aligned.skippedBootloader);
    EXPECT_EQ(unaligned.rows, aligned.rows);

    // The upper cell of the bootloader's last instruction belongs to it too.
    RowPlan endsBeforeRow = PlanRows(image, kRowUnits, 0x400, 0x7FF);
    EXPECT_EQ(endsBeforeRow.rows, aligned.rows);
    RowPlan lastInstructionOpensRow = PlanRows(image, kRowUnits, 0x400, 0x800);
    EXPECT_EQ(lastInstructionOpensRow.skippedBootloader.back(), 0x800u);
    EXPECT_EQ(lastInstructionOpensRow.rows[16], 0x840u);
}

TEST(RowPlanTest, UsedRangeStartingInsideTheBootloaderGoesOnAfterIt) {
    CMemoryImage image;
    image.SetRange(0, 0xFFF);
    Use(image, 0x500, 0x8FF);
    RowPlan plan = PlanRows(image, kRowUnits, 0x400, 0x7FE);
    EXPECT_EQ(plan.rows, (Rows{0x800, 0x840, 0x880, 0x8C0}));
}

TEST(RowPlanTest, RegisterAtTheImageEndIsWritten) {
    // One configuration register per row; the last one sits at the image's last address.
    CMemoryImage config;
    config.SetRange(0xF80000, 0xF8000E);
    Use(config, 0xF8000C, 0xF8000F);
    EXPECT_EQ(PlanRows(config, 2, kNoBootStart, kNoBootEnd).rows, (Rows{0xF8000C, 0xF8000E}));
}

}  // namespace
