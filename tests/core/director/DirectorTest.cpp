#include "core/director/Director.h"

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/metronome/TempoWords.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Tone.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using Mood = MascotBrain::Mood;

class DirectorTest : public ::testing::Test {
protected:
    void SetUp() override { FakeClock::flush(); }

    // Lets the metronome run to a moment and sends one click there, as the scheduler would;
    // the fake audio timeline does not move, so clicks are sent by hand.
    void tickAt(double seconds) {
        clock.advance(qRound64(seconds * 1000) - (clock.monotonicMs() - metronome.startedAt()));
        emit metronome.ticked(0, true);
    }
    QString practice(qint64 seconds) const {
        return Tones::practice(settings.tone(), Words::spell(seconds));
    }
    QStringList said() const { return speech.texts(); }

    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    TimerEngine engine{settings, speaker, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    MascotBrain mascot{Mood::Content, false, [] { return 0.5; }};
    std::unique_ptr<Director> director =
        std::make_unique<Director>(mascot, engine, metronome, speaker, settings, clock);
};

TEST_F(DirectorTest, EngineEventsReachTheMascotOneTurnLaterAndAPauseSleeps) {
    engine.start({Command::Kind::Timer, 600, {}});
    EXPECT_FALSE(mascot.icon()); // not yet: queued
    FakeClock::flush();
    EXPECT_EQ(mascot.icon(), QStringLiteral("play"));
    clock.advance(1000);
    engine.pause();
    clock.advance(500);
    EXPECT_EQ(mascot.icon(), QStringLiteral("pause"));
    engine.resume();
    clock.advance(1000); // the check after the pause finds the engine running
    EXPECT_EQ(mascot.mood(), Mood::Content);

    // Asleep unless resumed within 0.9 s; resuming wakes it.
    engine.pause();
    clock.advance(899);
    EXPECT_EQ(mascot.mood(), Mood::Content);
    clock.advance(1);
    EXPECT_EQ(mascot.mood(), Mood::Sleep);
    engine.resume();
    FakeClock::flush();
    EXPECT_EQ(mascot.mood(), Mood::Content);
    engine.stop();
    FakeClock::flush();
    EXPECT_EQ(mascot.icon(), QStringLiteral("stop"));
}

TEST(DirectorCaption, OnlyTheWholeNumbersOneToThreeAreDigits) {
    const std::pair<const char*, int> cases[] = {
        {"3", 3},  {"2", 2}, {"1", 1},  {"+2", 2}, {"03", 3},
        {"3.", 0}, {"4", 0}, {"0", 0},  {"-3", 0}, {"three", 0},
        {"", 0},   {"+", 0}, {" 3", 0}, {"12", 0}, {"99999999999999999999999", 0}};
    for (const auto& [text, digit] : cases)
        EXPECT_EQ(Director::countdownDigit(QString::fromUtf8(text)), digit) << text;
}

TEST_F(DirectorTest, SpokenCaptionsShowTheFinalCountAndTalkingIsMirrored) {
    speaker.say(QStringLiteral("3"), settings);
    EXPECT_EQ(mascot.icon(), QStringLiteral("n3"));
    EXPECT_TRUE(mascot.talking());
    mascot.settle();
    speaker.say(QStringLiteral("4"), settings);
    EXPECT_FALSE(mascot.icon());
    speech.finish();
    clock.advance(2000);
    EXPECT_EQ(speaker.talking(), mascot.talking());
    EXPECT_FALSE(mascot.talking());
}

TEST_F(DirectorTest, MutedFlashesOncePerRealChangeAndNotAtStartUp) {
    director.reset();
    settings.setMuted(true);
    director = std::make_unique<Director>(mascot, engine, metronome, speaker, settings, clock);
    EXPECT_TRUE(mascot.muted()); // taken over silently
    EXPECT_FALSE(mascot.icon());

    settings.setMuted(true); // same value again
    EXPECT_FALSE(mascot.icon());
    settings.setMuted(false);
    EXPECT_EQ(mascot.icon(), QStringLiteral("sound"));
    mascot.settle();
    settings.setMuted(true);
    EXPECT_EQ(mascot.icon(), QStringLiteral("muted"));
    EXPECT_TRUE(mascot.muted());
}

TEST_F(DirectorTest, MetronomeSaysTheTempoPracticeMarksByEveryAndTheTotalAtTheStop) {
    metronome.setBeats(3);
    metronome.setBpm(90);
    metronome.start();
    EXPECT_EQ(said(), QStringList{Tones::tempo(settings.tone(), 90, TempoWords::sigWords(3))});
    speech.clear();

    tickAt(300);
    tickAt(301);
    tickAt(600);
    tickAt(900);
    EXPECT_EQ(said(), QStringList({practice(300), practice(600), practice(900)}));
    speech.clear();

    // At minute 17 every becomes 2: 8 intervals have passed and count as announced.
    tickAt(17 * 60);
    settings.setEvery(2);
    tickAt(17 * 60 + 59);
    EXPECT_TRUE(said().isEmpty());
    tickAt(18 * 60);
    metronome.stop();
    EXPECT_EQ(said(), QStringList({practice(18 * 60), practice(18 * 60)}));

    // A restart counts its marks from zero again.
    metronome.start();
    speech.clear();
    tickAt(119);
    EXPECT_TRUE(said().isEmpty());
    tickAt(120);
    EXPECT_EQ(said(), QStringList{practice(120)});
    speech.clear();

    settings.setEvery(0); // off, and no division by zero
    tickAt(30 * 60);
    EXPECT_TRUE(said().isEmpty());

    // A run shorter than a minute ends without a total.
    metronome.stop();
    metronome.start();
    clock.advance(59'000);
    speech.clear();
    metronome.stop();
    EXPECT_TRUE(said().isEmpty());
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
    EXPECT_TRUE(said().isEmpty());
    clock.advance(1);
    EXPECT_EQ(said(), QStringList{QStringLiteral("132.")});
    clock.advance(5000);
    EXPECT_EQ(said(), QStringList{QStringLiteral("132.")});
}

TEST_F(DirectorTest, NothingPendingOutlivesTheDirector) {
    engine.start({Command::Kind::Timer, 600, {}});
    engine.pause(); // a sleep check is pending
    metronome.start();
    speech.clear();
    metronome.setBpm(140); // and a tempo announcement
    FakeClock::flush();
    director.reset();
    clock.advance(2000);
    EXPECT_EQ(mascot.mood(), Mood::Content);
    EXPECT_TRUE(said().isEmpty());
}

} // namespace
