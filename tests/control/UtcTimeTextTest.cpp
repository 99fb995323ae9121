#include <gtest/gtest.h>

#include <chrono>

#include "control/UtcTimeText.h"

namespace {

TEST(UtcTimeTextTest, ATimeIsItsUtcDateAndClockWithMilliseconds) {
    using namespace std::chrono;
    const struct {
        long long milliseconds;  // since 1970 in UTC
        const char* text;
    } cases[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {951782400000 + 86399999, "2000-02-29T23:59:59.999Z"},  // a leap day's last moment
        {1796812215042, "2026-12-09T10:30:15.042Z"},
        {-1, "1969-12-31T23:59:59.999Z"},
    };
    for (const auto& c : cases) {
        const system_clock::time_point when{milliseconds(c.milliseconds)};
        EXPECT_EQ(UtcTimeText(when), c.text) << c.milliseconds;
    }
}

}  // namespace
