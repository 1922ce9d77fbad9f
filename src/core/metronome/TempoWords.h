#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

// Tempo phrases typed by the user ("120 bpm", "3/4 90", "allegro", "metronome"), tempo names for
// display and time signatures for speech. Pure functions over fixed tables.
namespace TempoWords {

// A recognised tempo phrase; either part may be absent ("metronome" alone has neither).
struct Tempo {
    std::optional<int> bpm;
    std::optional<int> beats;
    bool operator==(const Tempo&) const = default;
};

// Tempo words recognised in typed text, in the order they are tried ("prestissimo" before
// "presto").
inline constexpr std::array<std::pair<const char*, int>, 10> named{{
    {"prestissimo", 210},
    {"larghetto", 63},
    {"grave", 35},
    {"largo", 50},
    {"adagio", 70},
    {"andante", 92},
    {"moderato", 114},
    {"allegro", 138},
    {"vivace", 166},
    {"presto", 184},
}};

// Display names: a tempo takes the first name whose ceiling is above it; the last has none.
inline constexpr std::array<std::pair<int, const char*>, 9> names{{
    {40, "Grave"},
    {60, "Largo"},
    {66, "Larghetto"},
    {76, "Adagio"},
    {108, "Andante"},
    {120, "Moderato"},
    {156, "Allegro"},
    {176, "Vivace"},
    {200, "Presto"},
}};
inline constexpr const char* fastestName = "Prestissimo";

// Removed from a phrase, in this order; the first five also mark the text as a tempo phrase.
inline constexpr std::array<const char*, 7> keywords{
    {"tempo", "metronome", "bpm", "beats", "beat", " in ", " at "}};
inline constexpr int tempoKeywordCount = 5;

inline constexpr std::array<const char*, 13> words{{"zero", "one", "two", "three", "four", "five",
                                                    "six", "seven", "eight", "nine", "ten",
                                                    "eleven", "twelve"}};

// The beats-per-bar choices offered to the user.
inline constexpr std::array<int, 6> beatsChoices{{2, 3, 4, 5, 6, 7}};

inline constexpr int minBpm = 30;
inline constexpr int maxBpm = 260;

// bpm within the limits above.
constexpr int clampBpm(int bpm) {
    return std::clamp(bpm, minBpm, maxBpm);
}

// The tempo phrase in text, or nothing. With needsKeyword, a bare number ("90") is not a tempo
// but "90 bpm", "allegro" or "3/4 90" are. A bpm found is within 30 to 260.
std::optional<Tempo> parse(const QString& text, bool needsKeyword);

// The Italian name of a tempo: 39 is "Grave", 120 "Allegro", 200 and above "Prestissimo".
QString name(int bpm);

// The spoken time signature for n beats per bar: 3 gives "Three four", 13 "13 four".
QString sigWords(int n);

} // namespace TempoWords
