#include "Plan.h"

#include "Settings.h"
#include "TestDirs.h"

#include <gtest/gtest.h>

namespace {

using K = Line::Kind;

class PlanTest : public ::testing::Test {
protected:
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    void SetUp() override { settings.setCountdown(10); }
};

PlanMap counts(PlanMap plan, qint64 from) {
    for (qint64 i = 1; i <= from; ++i)
        plan[i] = Line{QString::number(i), K::Count};
    return plan;
}

} // namespace

TEST_F(PlanTest, TwentyFiveMinutesCalm) {
    const PlanMap expected = counts(
        {
            {1200, {"20 minutes left.", K::Every}},
            {900, {"15 minutes left.", K::Every}},
            {750, {"Halfway. 12 minutes 30 seconds to go.", K::Half}},
            {600, {"10 minutes left.", K::Every}},
            {300, {"5 minutes left.", K::Every}},
            {60, {"One minute left.", K::Minute}},
            {0, {"Time's up.", K::End}},
        },
        10);
    EXPECT_EQ(Plan::make(1500, "", settings), expected);
}

TEST_F(PlanTest, TwoMinutePlankCoach) {
    settings.setTone(Tone::Coach);
    const PlanMap expected = counts(
        {
            {60, {"Halfway. 1 minute. Hold the pace.", K::Half}},
            {0, {"Time. Plank, done. Good work.", K::End}},
        },
        10);
    EXPECT_EQ(Plan::make(120, "Plank", settings), expected);
}

TEST_F(PlanTest, Thresholds) {
    struct Case {
        qint64 total;
        qint64 key;
        bool present;
        K kind;
    };
    settings.setEvery(0);
    const Case cases[] = {{90, 60, false, K::Minute}, {91, 60, true, K::Minute},
                          {119, 59, false, K::Half},  {120, 60, true, K::Half},
                          {121, 61, true, K::Half},   {12, 1, false, K::Count},
                          {13, 10, true, K::Count},   {13, 0, true, K::End}};
    for (const Case& c : cases) {
        const PlanMap plan = Plan::make(c.total, "", settings);
        const auto it = plan.find(c.key);
        EXPECT_EQ(it != plan.end() && it->second.kind == c.kind, c.present)
            << "total " << c.total << " key " << c.key;
    }
}

TEST_F(PlanTest, PeriodicLinesGiveWayToCountAndMinute) {
    settings.setEvery(1);
    settings.setCountdown(30);
    settings.setHalfway(false);
    settings.setOnEnd(false);
    const PlanMap plan = Plan::make(75, "", settings);
    EXPECT_EQ(plan.at(15), (Line{"15", K::Count}));
    EXPECT_EQ(plan.size(), 30u + 0u) << "75-60=15 falls in the count; no end line";

    settings.setCountdown(0);
    settings.setLastMinute(true);
    const PlanMap minute = Plan::make(180, "", settings);
    EXPECT_EQ(minute.at(120), (Line{"2 minutes left.", K::Every}));
    EXPECT_EQ(minute.at(60), (Line{"One minute left.", K::Minute}));
    EXPECT_EQ(minute.size(), 2u);

    settings.setLastMinute(false);
    EXPECT_TRUE(Plan::make(60, "", settings).empty()) << "the first key would be 0";
}

TEST_F(PlanTest, KeysStayBelowTheTotal) {
    settings.setEvery(1);
    for (qint64 total : {1, 2, 3, 61, 119, 120, 121, 3600, 86400}) {
        const PlanMap plan = Plan::make(total, "x", settings);
        ASSERT_FALSE(plan.empty());
        EXPECT_GE(plan.begin()->first, 0);
        EXPECT_LT(plan.rbegin()->first, total);
    }
}

TEST_F(PlanTest, EndText) {
    struct Case {
        Tone tone;
        const char* message;
        const char* label;
        const char* text;
    };
    const Case cases[] = {
        {Tone::Calm, "Pour it.", "Tea", "Tea. Pour it."},
        {Tone::Calm, " \tPour it.\t ", "", "Pour it."},
        {Tone::Calm, "   ", "Tea", "Tea. Time's up."},
        {Tone::Cheery, "", "", "Ding! Time's up!"},
        {Tone::Cheery, "", "Tea", "Ding! Tea is done!"},
        {Tone::Coach, "", "", "Time. Good work."},
    };
    for (const Case& c : cases) {
        settings.setTone(c.tone);
        settings.setEndMessage(c.message);
        EXPECT_EQ(Plan::endText(c.label, settings), c.text) << c.message;
    }
    settings.setOnEnd(false);
    EXPECT_EQ(Plan::make(300, "Tea", settings).count(0), 0u);
}
