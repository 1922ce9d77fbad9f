#include "core/text/Words.h"

#include <gtest/gtest.h>

// clang-format off
TEST(Words, Spell) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "0 seconds"}, {1, "1 second"}, {60, "1 minute"}, {61, "1 minute 1 second"},
        {3599, "59 minutes 59 seconds"}, {3601, "1 hour"}, {3661, "1 hour 1 minute"},
        {7199, "1 hour 59 minutes"}, {86400, "24 hours"}};
    for (auto [n, text] : cases)
        EXPECT_EQ(Words::spell(n), text) << n;
}

TEST(Words, Clock) {
    const std::tuple<double, bool, const char*> cases[] = {
        {1499.2, true, "25:00"}, {1499.2, false, "24:59"}, {3599.5, true, "1:00:00"},
        {3599.5, false, "59:59"}, {-3, true, "00:00"}, {59.0000005, true, "00:59"},
        {1500.0000004, true, "25:00"}, {86400, true, "24:00:00"}, {360000, false, "100:00:00"}};
    for (auto [x, roundUp, text] : cases)
        EXPECT_EQ(Words::clock(x, roundUp), text) << x << ' ' << roundUp;
}

TEST(Words, SpellLap) {
    const std::pair<double, const char*> cases[] = {
        {12.34, "12.3 seconds"}, {125.0, "2 minutes 5 seconds"}, {60.0, "1 minute 0 seconds"},
        {0.04, "0 seconds"}, {119.97, "1 minute 60 seconds"}, {59.96, "60 seconds"},
        {3725.5, "62 minutes 5.5 seconds"}, {12.25, "12.2 seconds"}, {72.75, "1 minute 12.8 seconds"}};
    for (auto [x, text] : cases)
        EXPECT_EQ(Words::spellLap(x), text) << x;
}
// clang-format on
