#include <gtest/gtest.h>

#include "app/OsKind.h"

TEST(OsKindTest, OnlyNtFiveOneIsXp) {
    EXPECT_EQ(OsKindFromVersion(true, 5, 1), "XP");
    EXPECT_EQ(OsKindFromVersion(true, 5, 0), "nonXP");
    EXPECT_EQ(OsKindFromVersion(true, 5, 2), "nonXP");
    EXPECT_EQ(OsKindFromVersion(true, 6, 0), "nonXP");
    EXPECT_EQ(OsKindFromVersion(true, 6, 1), "nonXP");
    EXPECT_EQ(OsKindFromVersion(false, 5, 1), "nonXP");
    EXPECT_EQ(QueryOsName(), "nonXP");
}
