#include <cmath>

#include <gtest/gtest.h>

#include "platform/locale/LocalClock.h"

TEST(LocalClock, FixedTimeIsAnsweredUntilReleased) {
    const LocalDateTime t{2026, 12, 11, 9, 5, 7, 250};
    {
        FixedLocalClock fixed(t);
        EXPECT_EQ(LocalClock::Now(), t);
    }
    const LocalDateTime now = LocalClock::Now();
    EXPECT_GE(now.Year, 2024);
    EXPECT_GE(now.Month, 1);
    EXPECT_LE(now.Month, 12);
}

TEST(LocalClock, DateTimeValuesCountDaysFrom1899) {
    struct Case {
        LocalDateTime time;
        double value;
    };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
        {{2000, 1, 1, 12, 0, 0, 0}, 36526.5},
        {{2014, 7, 9, 17, 4, 14, 0}, 41829.71127314815},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(EncodeDateTime(c.time), c.value, 1e-9) << c.value;
        EXPECT_EQ(DecodeDateTime(c.value), c.time) << c.value;
    }
}

TEST(LocalClock, DecodingRoundsToTheMillisecond) {
    // The report component's stored creation date, 2014-07-09 17:04:14 and a fraction.
    const LocalDateTime t = DecodeDateTime(41829.71127694444);
    EXPECT_EQ(t.Year, 2014);
    EXPECT_EQ(t.Month, 7);
    EXPECT_EQ(t.Day, 9);
    EXPECT_EQ(t.Hour, 17);
    EXPECT_EQ(t.Minute, 4);
    EXPECT_EQ(t.Second, 14);
}
