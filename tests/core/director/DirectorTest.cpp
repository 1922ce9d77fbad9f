#include "core/director/Director.h"

#include "CoreDesk.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/TempoWords.h"
#include "core/text/Tone.h"
#include "core/text/Words.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using Mood = MascotBrain::Mood;

class DirectorTest : public ::testing::Test, protected CoreDesk {
protected:
    // Lets the metronome run to a moment and sends one click there, as the scheduler would;
    // the fake audio timeline does not move, so clicks are sent by hand.
    void tickAt(double seconds) {
        clock.advance(qRound64(seconds * 1000) - (clock.monotonicMs() - metronome.startedAt()));
        emit metronome.ticked(0, true);
    }
    QString practice(qint64 seconds) const {
        return Tones::practice(settings.tone(), Words::spell(seconds));
    }

    MascotBrain mascot{Mood::Content, false, [] { return 0.5; }};
    std::unique_ptr<Director> director =
        std::make_unique<Director>(mascot, engine, metronome, speaker, settings, clock);
};

TEST_F(DirectorTest, EngineEventsReachTheMascotOneTurnLaterAndAPauseSleeps) {
    engine.start({Command::Kind::Timer, 600, {}});
    EXPECT_FALSE(mascot.icon()); // not yet: queued
    FakeClock::flush();
    EXPECT_EQ(mascot.icon(), QStringLiteral("play"));

    // Asleep unless resumed within 0.9 s; resuming wakes it.
    clock.advance(1000);
    engine.pause();
    clock.advance(500);
    EXPECT_EQ(mascot.icon(), QStringLiteral("pause"));
    EXPECT_EQ(mascot.mood(), Mood::Content);
    clock.advance(400);
    EXPECT_EQ(mascot.mood(), Mood::Sleep);
    engine.resume();
    FakeClock::flush();
    EXPECT_EQ(mascot.mood(), Mood::Content);
    engine.pause();
    clock.advance(500);
    engine.resume();
    clock.advance(1000); // the check after the pause finds the engine running
    EXPECT_EQ(mascot.mood(), Mood::Content);
    engine.stop();
    FakeClock::flush();
    EXPECT_EQ(mascot.icon(), QStringLiteral("stop"));
}

// Of the captions only the whole numbers 1 to 3 (the final count) show as digits.
TEST_F(DirectorTest, SpokenCaptionsShowTheFinalCountAndTalkingIsMirrored) {
    QList<int> digits;
    for (const char* text :
         {"3", "1", "+2", "03", "3.", "4", "0", "-3", "", "+", " 3", "99999999999999999999993"})
        digits.append(Director::countdownDigit(QString::fromUtf8(text)));
    EXPECT_EQ(digits, (QList<int>{3, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0}));

    speaker.say(QStringLiteral("3"), settings);
    EXPECT_EQ(mascot.icon(), QStringLiteral("n3"));
    EXPECT_TRUE(mascot.talking());
    mascot.settle();
    speaker.say(QStringLiteral("4"), settings);
    EXPECT_FALSE(mascot.icon());
    speech.finish();
    clock.advance(2000);
    EXPECT_FALSE(mascot.talking());
}

TEST_F(DirectorTest, MutedFlashesOncePerRealChangeAndNotAtStartUp) {
    director.reset();
    settings.setMuted(true);
    director = std::make_unique<Director>(mascot, engine, metronome, speaker, settings, clock);
    EXPECT_TRUE(mascot.muted()); // taken over silently
    EXPECT_FALSE(mascot.icon());
    settings.setMuted(false);
    EXPECT_EQ(mascot.icon(), QStringLiteral("sound"));
    mascot.settle();
    settings.setMuted(true);
    EXPECT_EQ(mascot.icon(), QStringLiteral("muted"));
}

TEST_F(DirectorTest, MetronomeSaysTheTempoPracticeMarksByEveryAndTheTotalAtTheStop) {
    const QString tempo = Tones::tempo(settings.tone(), 90, TempoWords::sigWords(3));
    metronome.setBeats(3);
    metronome.setBpm(90);
    metronome.start();
    for (const int seconds : {300, 301, 600, 17 * 60})
        tickAt(seconds);
    // At minute 17 every becomes 2: 8 intervals have passed and count as announced.
    settings.setEvery(2);
    tickAt(17 * 60 + 59);
    tickAt(18 * 60);
    metronome.stop();
    EXPECT_EQ(speech.texts(), QStringList({tempo, practice(300), practice(600), practice(900),
                                           practice(18 * 60), practice(18 * 60)}));

    // A restart counts its marks from zero again; every 0 is off (and no division by zero).
    speech.clear();
    metronome.start();
    tickAt(119);
    tickAt(120);
    settings.setEvery(0);
    tickAt(30 * 60);
    EXPECT_EQ(speech.texts(), QStringList({tempo, practice(120)}));
}

TEST_F(DirectorTest, ATempoBurstIsSpokenOnceAfterTheLastChange) {
    metronome.setBpm(120);
    metronome.start();
    speech.clear();
    metronome.setBpm(126);
    clock.advance(200);
    metronome.setBpm(132);
    clock.advance(200);
    metronome.setBpm(132); // the same value leaves the pending announcement alone
    clock.advance(449);
    EXPECT_TRUE(speech.texts().isEmpty());
    clock.advance(5000);
    EXPECT_EQ(speech.texts(), QStringList{QStringLiteral("132.")});
}

} // namespace
