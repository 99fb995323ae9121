#include <gtest/gtest.h>

#include "catalogue/CatalogueValues.h"

namespace {

TEST(CatalogueValues, HexReadsUntilTheFirstNonDigit) {
    EXPECT_EQ(ParseCatalogueHex("0x7FFE"), 0x7FFEu);
    EXPECT_EQ(ParseCatalogueHex("  0Xf80000"), 0xF80000u);
    EXPECT_EQ(ParseCatalogueHex("7c00"), 0x7C00u);
    EXPECT_EQ(ParseCatalogueHex("12G4"), 0x12u);
    EXPECT_EQ(ParseCatalogueHex("0x"), 0u);
    EXPECT_EQ(ParseCatalogueHex(""), 0u);
    EXPECT_EQ(ParseCatalogueHex("-5"), 0u);
    EXPECT_EQ(ParseCatalogueHex("123456789"), 0xFFFFFFFFu);
}

TEST(CatalogueValues, DecimalTakesASignAndSaturates) {
    EXPECT_EQ(ParseCatalogueDecimal("32"), 32);
    EXPECT_EQ(ParseCatalogueDecimal(" -16x"), -16);
    EXPECT_EQ(ParseCatalogueDecimal("+8"), 8);
    EXPECT_EQ(ParseCatalogueDecimal("many"), 0);
    EXPECT_EQ(ParseCatalogueDecimal(""), 0);
    EXPECT_EQ(ParseCatalogueDecimal("99999999999"), 2147483647);
    EXPECT_EQ(ParseCatalogueDecimal("-99999999999"), -2147483647 - 1);
}

}  // namespace
