#include "Tone.h"

#include <gtest/gtest.h>

namespace {

struct Phrase {
    const char* name;
    QString (*say)(Tone);
    QString calm, cheery, coach;
};

const QString d = QStringLiteral("25 minutes");

// Each phrase applied to fixed arguments, with the sentence every tone must say.
const Phrase phrases[] = {
    {"hello", &Tones::hello, "Hi, I'm Pobi. I'll keep time for you.",
     "Hi! I'm Pobi! I tell you the time, out loud!", "I'm Pobi. Let's get to work."},
    {"start", [](Tone t) { return Tones::start(t, d, "Tea"); }, "Tea. 25 minutes. Starting now.",
     "Tea! 25 minutes. Let's go!", "Tea. 25 minutes on the clock. Go."},
    {"start unlabelled", [](Tone t) { return Tones::start(t, d, ""); }, "25 minutes. Starting now.",
     "25 minutes. Let's go!", "25 minutes on the clock. Go."},
    {"swStart", &Tones::swStart, "Stopwatch running.", "Stopwatch on!", "Clock's running."},
    {"left", [](Tone t) { return Tones::left(t, "10 minutes"); }, "10 minutes left.",
     "10 minutes left. You've got this!", "10 minutes left. Stay on it."},
    {"minute", &Tones::minute, "One minute left.", "One more minute!",
     "Final minute. Everything you've got."},
    {"half", [](Tone t) { return Tones::half(t, "12 minutes 30 seconds"); },
     "Halfway. 12 minutes 30 seconds to go.", "Halfway there! 12 minutes 30 seconds to go.",
     "Halfway. 12 minutes 30 seconds. Hold the pace."},
    {"end unlabelled", [](Tone t) { return Tones::end(t, ""); }, "Time's up.", "Ding! Time's up!",
     "Time. Good work."},
    {"end", [](Tone t) { return Tones::end(t, "Plank"); }, "Plank. Time's up.",
     "Ding! Plank is done!", "Time. Plank, done. Good work."},
    {"end with punctuation", [](Tone t) { return Tones::end(t, "Done!"); }, "Done!. Time's up.",
     "Ding! Done! is done!", "Time. Done!, done. Good work."},
    {"elapsed", [](Tone t) { return Tones::elapsed(t, "5 minutes"); }, "5 minutes.",
     "5 minutes in. Nice!", "5 minutes. Keep moving."},
    {"lap", [](Tone t) { return Tones::lap(t, 3, "1 minute 15.3 seconds"); },
     "Lap 3. 1 minute 15.3 seconds.", "Lap 3! 1 minute 15.3 seconds.",
     "Lap 3. 1 minute 15.3 seconds. Again."},
    {"pause", &Tones::pause, "Paused.", "Taking a breather.", "Hold."},
    {"resume", &Tones::resume, "Resuming.", "And we're back!", "Back to it."},
    {"cancel", &Tones::cancel, "Cancelled.", "Okay, cleared!", "Stopped."},
    {"practice", [](Tone t) { return Tones::practice(t, "10 minutes"); }, "10 minutes of practice.",
     "10 minutes of practice. Sounding good!", "10 minutes. Stay in the pocket."},
    {"tempo", [](Tone t) { return Tones::tempo(t, 120, "Four four"); }, "Tempo 120. Four four.",
     "Tempo 120! Four four. Let's play!", "120. Four four. Lock in."},
};

} // namespace

TEST(Tones, EveryPhraseInEveryTone) {
    for (const Phrase& p : phrases) {
        EXPECT_EQ(p.say(Tone::Calm), p.calm) << p.name;
        EXPECT_EQ(p.say(Tone::Cheery), p.cheery) << p.name;
        EXPECT_EQ(p.say(Tone::Coach), p.coach) << p.name;
    }
}
