#include "TempoWords.h"

#include "FakeClock.h"
#include "TapTempo.h"

#include <gtest/gtest.h>

namespace {

using TempoWords::Tempo;
constexpr std::nullopt_t none = std::nullopt;

struct ParseCase {
    const char* text;
    bool needsKeyword;
    std::optional<Tempo> expected;
};

std::ostream& operator<<(std::ostream& os, const ParseCase& c) {
    return os << '"' << c.text << "\" needsKeyword " << c.needsKeyword;
}

class TempoParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TempoParse, Recognises) {
    const ParseCase& c = GetParam();
    const auto got = TempoWords::parse(QString::fromUtf8(c.text), c.needsKeyword);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (got) {
        EXPECT_EQ(got->bpm, c.expected->bpm);
        EXPECT_EQ(got->beats, c.expected->beats);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phrases, TempoParse,
    ::testing::Values(
        ParseCase{"120", false, Tempo{120, none}}, ParseCase{"120", true, none},
        ParseCase{"tempo 120", true, Tempo{120, none}}, ParseCase{"120bpm", true, Tempo{120, none}},
        ParseCase{"  120 BPM\t", true, Tempo{120, none}}, ParseCase{"3/4 90", true, Tempo{90, 3}},
        ParseCase{"3\u00a0/\u00a04\u2009120\u00a0", true, Tempo{120, 3}},
        ParseCase{"6/8", true, Tempo{none, 6}}, ParseCase{"12 / 8", true, Tempo{none, 12}},
        ParseCase{"13/4", false, none}, ParseCase{"3/5 90", false, none},
        ParseCase{"allegro", true, Tempo{138, none}},
        ParseCase{"Larghetto", false, Tempo{63, none}},
        ParseCase{"allegro 100", true, Tempo{100, none}},
        ParseCase{"3/4 allegro", true, Tempo{138, 3}},
        ParseCase{"metronome", true, Tempo{none, none}}, ParseCase{"20", false, Tempo{30, none}},
        ParseCase{"999", false, Tempo{260, none}}, ParseCase{"5", false, none},
        ParseCase{"1000", false, none}, ParseCase{"in 90", true, none},
        ParseCase{"in 90", false, Tempo{90, none}}, ParseCase{"at 90 bpm", true, Tempo{90, none}},
        ParseCase{"allegro vivace", false, none}, ParseCase{"", false, none},
        ParseCase{" \t ", false, none}, ParseCase{"25m pasta", false, none},
        ParseCase{"120 cats", false, none},
        ParseCase{"٩٠ bpm", true, none}, // digits of another script are no number
        // The padding makes a lone "in" a keyword, so it is an empty tempo phrase.
        ParseCase{"in", false, Tempo{none, none}}, ParseCase{"in", true, none}));

TEST(TempoWords, NamesByTempo) {
    const std::pair<int, const char*> cases[] = {
        {0, "Grave"},      {39, "Grave"},    {40, "Largo"},   {65, "Larghetto"},   {66, "Adagio"},
        {119, "Moderato"}, {120, "Allegro"}, {199, "Presto"}, {200, "Prestissimo"}};
    for (const auto& [bpm, name] : cases)
        EXPECT_EQ(TempoWords::name(bpm), QString::fromLatin1(name)) << bpm;
}

TEST(TempoWords, EveryTempoWordFallsInItsOwnNamesRange) {
    for (const auto& [word, bpm] : TempoWords::named)
        EXPECT_EQ(TempoWords::name(bpm).toLower(), QString::fromLatin1(word)) << word;
}

TEST(TempoWords, SpellsTimeSignatures) {
    const std::pair<int, const char*> cases[] = {
        {3, "Three four"}, {12, "Twelve four"}, {13, "13 four"}, {0, "Zero four"}, {-2, "-2 four"}};
    for (const auto& [beats, words] : cases)
        EXPECT_EQ(TempoWords::sigWords(beats), QString::fromLatin1(words)) << beats;
}

// Taps at the given gaps (ms) after a first tap; what each tap returns.
std::vector<std::optional<int>> tapAt(const std::vector<int>& gaps) {
    FakeClock clock;
    TapTempo tapper(clock);
    std::vector<std::optional<int>> out{tapper.tap()};
    for (int gap : gaps) {
        clock.advance(gap);
        out.push_back(tapper.tap());
    }
    return out;
}

TEST(TapTempo, EstimatesFromTheLastFourIntervals) {
    using R = std::vector<std::optional<int>>;
    EXPECT_EQ(tapAt({500, 500, 500}), (R{none, 120, 120, 120}));
    EXPECT_EQ(tapAt({500, 2500, 500}), (R{none, 120, none, 120}));
    EXPECT_EQ(tapAt({2000, 2000}), (R{none, 30, 30}));
    EXPECT_EQ(tapAt({100, 100}), (R{none, 260, 260}));
    EXPECT_EQ(tapAt({3000, 3000, 3000}), (R{none, none, none, none}));
    EXPECT_EQ(tapAt({0}), (R{none, 260}));
    // Only the last five taps count: after a slow start, four quick intervals give 150.
    EXPECT_EQ(tapAt({1000, 400, 400, 400, 400}), (R{none, 60, 86, 100, 109, 150}));
    // Halves round away from zero: 320 ms is 187.5 beats a minute, 960 ms is 62.5.
    EXPECT_EQ(tapAt({320}).back(), 188);
    EXPECT_EQ(tapAt({960}).back(), 63);
}

} // namespace
