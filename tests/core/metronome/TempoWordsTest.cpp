#include "core/metronome/TempoWords.h"

#include "FakeClock.h"
#include "core/metronome/TapTempo.h"

#include <gtest/gtest.h>

namespace {

using T = TempoWords::Tempo;
constexpr std::nullopt_t none = std::nullopt;

struct ParseCase {
    const char* text;
    bool needsKeyword;
    std::optional<T> expected;
};

TEST(TempoWords, RecognisesPhrases) {
    // clang-format off
    const ParseCase cases[] = {
        {"120", false, T{120, none}}, {"120", true, none}, {"tempo 120", true, T{120, none}},
        {"120bpm", true, T{120, none}}, {"  120 BPM\t", true, T{120, none}},
        {"3\u00a0/\u00a04\u2009120\u00a0", true, T{120, 3}}, {"6/8", true, T{none, 6}},
        {"3/5 90", false, none}, {"allegro", true, T{138, none}}, {"allegro 100", true, T{100, none}},
        {"20", false, T{30, none}}, {"999", false, T{260, none}}, {"5", false, none},
        {"1000", false, none}, {"in 90", true, none}, {"in 90", false, T{90, none}},
        {"allegro vivace", false, none}, {" \t ", false, none}, {"120 cats", false, none},
        {"\u0669\u0660 bpm", true, none}, // digits of another script are no number
        // The padding makes a lone "in" a keyword, so it is an empty tempo phrase.
        {"in", false, T{none, none}}, {"in", true, none}};
    // clang-format on
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" needsKeyword " << c.needsKeyword);
        EXPECT_EQ(TempoWords::parse(QString::fromUtf8(c.text), c.needsKeyword), c.expected);
    }
}

// A tempo word typed names its own tempo back; a name starts at its floor (40 is no longer
// Grave); below and above the named ones are the ends. Signatures are spelled up to twelve.
TEST(TempoWords, NamesTemposAndSignatures) {
    for (const auto& [word, bpm] : TempoWords::named)
        EXPECT_EQ(TempoWords::name(bpm).toLower(), QString::fromLatin1(word)) << word;
    for (const auto& [bpm, name] :
         {std::pair{0, "Grave"}, {39, "Grave"}, {40, "Largo"}, {200, "Prestissimo"}})
        EXPECT_EQ(TempoWords::name(bpm), QString::fromLatin1(name)) << bpm;
    EXPECT_EQ(TempoWords::sigWords(12), "Twelve four");
    EXPECT_EQ(TempoWords::sigWords(13), "13 four");
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
    EXPECT_EQ(tapAt({500, 2500, 500}), (R{none, 120, none, 120}));
    EXPECT_EQ(tapAt({100, 100}), (R{none, 260, 260}));
    EXPECT_EQ(tapAt({0}), (R{none, 260}));
    // Only the last five taps count: after a slow start, four quick intervals give 150.
    EXPECT_EQ(tapAt({1000, 400, 400, 400, 400}), (R{none, 60, 86, 100, 109, 150}));
    // Halves round away from zero: 320 ms is 187.5 beats a minute.
    EXPECT_EQ(tapAt({320}).back(), 188);
}

} // namespace
