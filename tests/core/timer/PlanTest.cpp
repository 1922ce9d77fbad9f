#include "core/timer/Plan.h"

#include "TestDirs.h"
#include "core/settings/Settings.h"
#include "core/text/Tone.h"

#include <gtest/gtest.h>

namespace {

using K = Line::Kind;

class PlanTest : public ::testing::Test {
protected:
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
};

} // namespace

// Each row: a total, the settings (every so many minutes, the count, halfway, the last minute)
// and the plan's kinds by key; the end line is off here. At one key the later kind wins:
// count > half > minute > every.
TEST_F(PlanTest, LinesAndTheirThresholds) {
    struct Case {
        qint64 total;
        int every, countdown;
        bool halfway, lastMinute;
        std::map<qint64, K> kinds;
    };
    const Case cases[] = {
        {1500,
         5,
         2,
         true,
         true,
         {{1200, K::Every},
          {900, K::Every},
          {750, K::Half},
          {600, K::Every},
          {300, K::Every},
          {60, K::Minute},
          {2, K::Count},
          {1, K::Count}}},
        {90, 0, 0, true, true, {}},
        {91, 0, 0, true, true, {{60, K::Minute}}},
        {119, 0, 0, true, true, {{60, K::Minute}}},
        {120, 0, 0, true, true, {{60, K::Half}}},
        {121, 0, 0, true, true, {{60, K::Minute}, {61, K::Half}}},
        {4, 0, 2, true, true, {}}, // a count is said whole or not at all
        {5, 0, 2, true, true, {{2, K::Count}, {1, K::Count}}},
        {62, 1, 2, false, false, {{2, K::Count}, {1, K::Count}}},
        {180, 1, 0, false, true, {{120, K::Every}, {60, K::Minute}}},
        {60, 1, 0, false, false, {}}, // the first key would be 0
    };
    settings.setOnEnd(false);
    for (const Case& c : cases) {
        settings.setEvery(c.every);
        settings.setCountdown(c.countdown);
        settings.setHalfway(c.halfway);
        settings.setLastMinute(c.lastMinute);
        std::map<qint64, K> kinds;
        for (const auto& [key, line] : Plan::make(c.total, "", settings))
            kinds[key] = line.kind;
        EXPECT_EQ(kinds, c.kinds) << "total " << c.total;
    }
}

// The wording is the tone's own; the plan must hand it the tone, the spelled time and the label,
// or the own end message.
TEST_F(PlanTest, TextsInTheChosenToneAndTheOwnEndMessage) {
    settings.setTone(Tone::Coach);
    const PlanMap plan = Plan::make(1500, "Plank", settings);
    EXPECT_EQ(plan.at(750).text, Tones::half(Tone::Coach, "12 minutes 30 seconds"));
    EXPECT_EQ(plan.at(0).text, Tones::end(Tone::Coach, "Plank"));
    settings.setEndMessage(" \tPour it.\t ");
    EXPECT_EQ(Plan::endText("Tea", settings), "Tea. Pour it.");
    EXPECT_EQ(Plan::endText("", settings), "Pour it.");
    settings.setEndMessage("   ");
    EXPECT_EQ(Plan::endText("Tea", settings), Tones::end(Tone::Coach, "Tea"));
}
