#include <QvBase/Util/MapRangeRounded.h>

#include <gtest/gtest.h>

using Util::MapRangeRounded;

TEST(MapRangeRounded, EndsMiddlesAndHalves) {
    EXPECT_EQ(MapRangeRounded(0, 0, 4, 0, 3), 0);
    EXPECT_EQ(MapRangeRounded(1, 0, 4, 0, 3), 1);  // 0.75
    EXPECT_EQ(MapRangeRounded(2, 0, 4, 0, 3), 2);  // 1.5 rounds up
    EXPECT_EQ(MapRangeRounded(3, 0, 4, 0, 3), 2);  // 2.25
    EXPECT_EQ(MapRangeRounded(4, 0, 4, 0, 3), 3);
    EXPECT_EQ(MapRangeRounded(5, 0, 10, 100, 101), 101);  // 100.5 away from zero
    EXPECT_EQ(MapRangeRounded(7, 3, 3, 9, 20), 9);  // empty source range
    EXPECT_EQ(MapRangeRounded(0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu), 0xFFFFFFFFll);
}

TEST(MapRangeRounded, DownwardTargetsAndOutsidersMapAlongTheLine) {
    // Differences are taken as real numbers: no unsigned wrap.
    EXPECT_EQ(MapRangeRounded(1, 0, 4, 10, 0), 8);  // 7.5 away from zero
    EXPECT_EQ(MapRangeRounded(8, 0, 4, 10, 0), -10);
    EXPECT_EQ(MapRangeRounded(0, 2, 4, 0, 3), -3);
    EXPECT_EQ(MapRangeRounded(1, 2, 4, 0, 1), -1);  // -0.5 away from zero
    EXPECT_EQ(MapRangeRounded(0, 2, 4, 0, 1), -1);
    // About 1.8e19, past the 64-bit range: saturated, not undefined.
    EXPECT_EQ(MapRangeRounded(0xFFFFFFFFu, 0, 1, 0, 0xFFFFFFFFu), INT64_MAX);
    EXPECT_EQ(MapRangeRounded(0xFFFFFFFFu, 0, 1, 0xFFFFFFFFu, 0), INT64_MIN);
}
