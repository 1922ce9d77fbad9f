#include "core/speech/Speaker.h"

#include "FakeClock.h"
#include "FakeSpeech.h"
#include "LogCapture.h"
#include "TestDirs.h"
#include "core/settings/Settings.h"

#include <gtest/gtest.h>

namespace {

class SpeakerTest : public ::testing::Test {
protected:
    // Advances the clock by ms, checking the speaker talks until the last millisecond of it.
    void expectTalkingFor(int ms) {
        clock.advance(ms - 1);
        EXPECT_TRUE(speaker.talking()) << "ends early, after " << ms - 1 << " ms";
        clock.advance(1);
        EXPECT_FALSE(speaker.talking()) << "still talking after " << ms << " ms";
    }

    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
};

TEST_F(SpeakerTest, ASecondSentenceCutsOffTheFirstAndKeepsTalking) {
    speaker.say(QStringLiteral("Twenty five minutes."), settings);
    const quint64 first = speech.lastId();
    speaker.say(QStringLiteral("Five minutes left."), settings);
    EXPECT_EQ(speech.texts(), (QStringList{"Twenty five minutes.", "Five minutes left."}));
    EXPECT_EQ(speech.stops(), 2);
    EXPECT_EQ(speaker.caption(), QStringLiteral("Five minutes left."));

    // The end of the first, reported after the second began, leaves the second talking.
    speech.finish(first);
    FakeClock::flush();
    EXPECT_TRUE(speaker.talking());
    speech.finish();
    EXPECT_TRUE(speaker.talking()) << "the end is handled one turn later";
    FakeClock::flush();
    EXPECT_FALSE(speaker.talking());
}

TEST_F(SpeakerTest, MutedSentencesAreCaptionedAndTimedNotVoiced) {
    settings.setMuted(true);
    const QString twenty = QStringLiteral("Twenty characters!!!");
    speaker.say(twenty, settings);
    EXPECT_TRUE(speech.texts().isEmpty());
    EXPECT_EQ(speech.stops(), 1) << "a sentence still playing is cut off";
    expectTalkingFor(1700);

    // A later sentence's timer alone decides: the first one's would end at 1.7 s.
    int captions = 0;
    QObject::connect(&speaker, &Speaker::captionChanged, [&] { ++captions; });
    speaker.say(twenty, settings);
    EXPECT_EQ(captions, 1) << "the same sentence again is a new caption";
    clock.advance(1000);
    speaker.say(QStringLiteral("Hi"), settings);
    expectTalkingFor(600 + 2 * 55);
}

TEST_F(SpeakerTest, WatchdogEndsTalkingWhenTheSynthesiserNeverAnswers) {
    speaker.say(QStringLiteral("Twenty characters!!!"), settings);
    expectTalkingFor(2 * 1700 + 5000); // twice the quiet time, and five seconds
}

// Quiet timing counts what a reader sees as one character: "e" with a combining accent, a flag.
TEST_F(SpeakerTest, UnreachableSynthesiserFallsBackToQuietTimingAndLogsOnce) {
    speech.setUnavailable(QStringLiteral("no socket"));
    LogCapture log;
    speaker.say(QStringLiteral("Two."), settings);
    speaker.say(QStringLiteral("e\u0301\U0001F1E9\U0001F1EA"), settings);
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("Pobi: speech failed: no socket")});
    EXPECT_TRUE(speech.texts().isEmpty());
    expectTalkingFor(600 + 2 * 55);
    speech.setUnavailable(QStringLiteral("no socket"), true); // the next sentence reaches it
    speaker.say(QStringLiteral("Three."), settings);
    EXPECT_EQ(speech.texts(), QStringList{QStringLiteral("Three.")});
}

// The list and its order are checked through the settings page; the name shown, here.
TEST(SpeakerVoices, DisplayNameAddsTheLanguage) {
    EXPECT_EQ(Speaker::displayName({"m/zoe", "Zoe", "en-US"}, true),
              QStringLiteral("Zoe · English (United States)"));
}

} // namespace
