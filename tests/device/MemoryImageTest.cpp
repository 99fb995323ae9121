#include <gtest/gtest.h>

#include "device/MemoryImage.h"

namespace {

// The small region most cases use: addresses 0 .. 9, one extra cell at 10.
struct SmallImage : ::testing::Test {
    void SetUp() override { image.SetRange(0, 9); }
    CMemoryImage image;
};

TEST_F(SmallImage, AcceptsTheExtraCellBeyondEndAndNothingFurther) {
    EXPECT_EQ(image.count, 10u);
    EXPECT_EQ(image.WriteWord(10, 0xBEEF), 1);
    EXPECT_EQ(image.ReadWord(10), 0xBEEF);
    EXPECT_FALSE(image.rangeError);
    EXPECT_EQ(image.WriteWord(11, 1), -1);
    EXPECT_TRUE(image.rangeError);
    EXPECT_EQ(image.ReadWord(11), 0);
}

TEST_F(SmallImage, OutsideAccessesReportWithoutTouchingTheCallersCell) {
    MemoryCell cell{0x1111, true, true};
    EXPECT_EQ(image.GetCell(12, cell), -1);
    EXPECT_EQ(cell.value, 0x1111);
    EXPECT_TRUE(image.rangeError);

    image.SetRange(2, 9);
    EXPECT_FALSE(image.rangeError);
    EXPECT_TRUE(image.IsProtected(1));
    EXPECT_TRUE(image.rangeError);
}

TEST_F(SmallImage, ProtectionIsBoundedByEndAndSurvivesClear) {
    EXPECT_EQ(image.MarkProtected(5, 10), -1);
    EXPECT_FALSE(image.IsProtected(5));
    EXPECT_EQ(image.MarkProtected(5, 9), 1);
    EXPECT_EQ(image.MarkProtected(7, 6), 1);
    EXPECT_FALSE(image.IsProtected(4));
    EXPECT_TRUE(image.IsProtected(5));
    EXPECT_TRUE(image.IsProtected(9));
    EXPECT_FALSE(image.protectedHit);

    EXPECT_EQ(image.WriteWord(6, 0x1234), 1);
    EXPECT_TRUE(image.protectedHit);
    EXPECT_EQ(image.ReadWord(6), 0x1234);

    image.Clear();
    EXPECT_EQ(image.ReadWord(6), 0);
    EXPECT_FALSE(image.hasData);
    EXPECT_FALSE(image.protectedHit);
    EXPECT_TRUE(image.IsProtected(6));
    MemoryCell cell;
    ASSERT_EQ(image.GetCell(6, cell), 1);
    EXPECT_FALSE(cell.used);
}

TEST_F(SmallImage, UsedScansLookBelowEndOnly) {
    bool empty = false;
    image.WriteWord(9, 1);
    image.WriteWord(10, 1);
    EXPECT_EQ(image.FirstUsedAddress(&empty), 9u);
    EXPECT_TRUE(empty);
    EXPECT_EQ(image.LastUsedAddress(&empty), 0u);
    EXPECT_TRUE(empty);

    image.Clear();
    image.WriteWord(4, 1);
    image.WriteWord(5, 1);
    EXPECT_EQ(image.FirstUsedAddress(&empty), 4u);
    EXPECT_FALSE(empty);
    EXPECT_EQ(image.LastUsedAddress(&empty), 5u);
    EXPECT_FALSE(empty);

    image.Clear();
    image.WriteWord(8, 1);
    image.WriteWord(9, 1);
    EXPECT_EQ(image.LastUsedAddress(&empty), 8u);
    EXPECT_FALSE(empty);

    image.Clear();
    image.WriteWord(0, 1);
    EXPECT_EQ(image.LastUsedAddress(&empty), 0u);
    EXPECT_FALSE(empty);
}

TEST_F(SmallImage, InstructionsReadInEitherHalfOrder) {
    image.WriteWord(4, 0x5678);
    image.WriteWord(5, 0x0012);
    EXPECT_EQ(image.ReadInstruction(4, false), 0x00125678u);
    EXPECT_EQ(image.ReadInstruction(4, true), 0x56780012u);
}

TEST(MemoryImageRange, UnsetOrRefusedRangesHoldNothing) {
    CMemoryImage image;
    bool empty = false;
    EXPECT_EQ(image.FirstUsedAddress(&empty), 0u);
    EXPECT_TRUE(empty);
    EXPECT_EQ(image.LastUsedAddress(&empty), 0u);
    EXPECT_TRUE(empty);
    EXPECT_EQ(image.WriteWord(0, 1), -1);
    EXPECT_EQ(image.MarkProtected(0, 0), -1);

    image.SetRange(10, 20);
    image.SetRange(20, 10);
    EXPECT_EQ(image.cells, nullptr);
    EXPECT_EQ(image.WriteWord(20, 1), -1);
    EXPECT_TRUE(image.rangeError);

    image.SetRange(0, 0xFFFFFFFF);
    EXPECT_EQ(image.cells, nullptr);
    EXPECT_EQ(image.WriteWord(0, 1), -1);
}

TEST(MemoryImageRange, OneAddressRegionReportsEmptyScans) {
    CMemoryImage image;
    image.SetRange(0, 0);
    EXPECT_EQ(image.WriteWord(0, 7), 1);
    EXPECT_EQ(image.WriteWord(1, 7), 1);
    bool empty = false;
    EXPECT_EQ(image.FirstUsedAddress(&empty), 0u);
    EXPECT_TRUE(empty);
    EXPECT_EQ(image.LastUsedAddress(&empty), 0u);
    EXPECT_TRUE(empty);
}

TEST(MemoryImageRange, HighSparseRegionsAllocateOnlyTheirOwnCells) {
    CMemoryImage config;
    config.SetRange(0xF80000, 0xF8000E);
    EXPECT_EQ(config.count, 15u);
    EXPECT_EQ(config.WriteWord(0xF8000F, 0x00C3), 1);
    EXPECT_EQ(config.WriteWord(0xF7FFFF, 1), -1);

    CMemoryImage eeprom;
    eeprom.SetRange(0x7FF000, 0x7FFFFE);
    EXPECT_EQ(eeprom.count, 0xFFFu);
    EXPECT_EQ(eeprom.WriteWord(0x7FF000, 0xAA55), 1);
    EXPECT_EQ(eeprom.FirstUsedAddress(), 0x7FF000u);
}

}  // namespace
