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
    void SetUp() override { settings.setCountdown(10); }
};

std::map<qint64, K> kinds(const PlanMap& plan) {
    std::map<qint64, K> out;
    for (const auto& [key, line] : plan)
        out[key] = line.kind;
    return out;
}

} // namespace

TEST_F(PlanTest, TwentyFiveMinutesInTheChosenTone) {
    std::map<qint64, K> expected{{1200, K::Every}, {900, K::Every}, {750, K::Half}, {600, K::Every},
                                 {300, K::Every},  {60, K::Minute}, {0, K::End}};
    for (qint64 i = 1; i <= 10; ++i)
        expected[i] = K::Count;
    settings.setTone(Tone::Coach);
    const PlanMap plan = Plan::make(1500, "Plank", settings);
    EXPECT_EQ(kinds(plan), expected);
    // The wording is the tone's own; the plan must hand it the tone, the spelled time and label.
    EXPECT_EQ(plan.at(750).text, Tones::half(Tone::Coach, "12 minutes 30 seconds"));
    EXPECT_EQ(plan.at(0).text, Tones::end(Tone::Coach, "Plank"));
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
    EXPECT_EQ(plan.at(15).kind, K::Count);
    EXPECT_EQ(plan.size(), 30u) << "75-60=15 falls in the count; no end line";

    settings.setCountdown(0);
    const PlanMap minute = Plan::make(180, "", settings);
    EXPECT_EQ(kinds(minute), (std::map<qint64, K>{{60, K::Minute}, {120, K::Every}}));

    settings.setLastMinute(false);
    EXPECT_TRUE(Plan::make(60, "", settings).empty()) << "the first key would be 0";
}

TEST_F(PlanTest, EndTextPrefersTheOwnMessage) {
    const std::tuple<const char*, const char*, QString> cases[] = {
        {"Pour it.", "Tea", "Tea. Pour it."},
        {" \tPour it.\t ", "", "Pour it."},
        {"   ", "Tea", Tones::end(Tone::Cheery, "Tea")}};
    settings.setTone(Tone::Cheery);
    for (const auto& [message, label, text] : cases) {
        settings.setEndMessage(message);
        EXPECT_EQ(Plan::endText(label, settings), text) << message;
    }
    settings.setOnEnd(false);
    EXPECT_EQ(Plan::make(300, "Tea", settings).count(0), 0u);
}
