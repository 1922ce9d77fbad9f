#include "core/speech/Speaker.h"

#include "FakeClock.h"
#include "FakeSpeech.h"
#include "LogCapture.h"
#include "TestDirs.h"
#include "core/settings/Settings.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using Outcome = SpeechService::Outcome;

class SpeakerTest : public ::testing::Test {
protected:
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
};

TEST_F(SpeakerTest, ASecondSentenceCutsOffTheFirstAndKeepsTalking) {
    speaker.say(QStringLiteral("Twenty five minutes."), settings);
    const quint64 first = speech.lastId();
    EXPECT_TRUE(speaker.talking());
    speaker.say(QStringLiteral("Five minutes left."), settings);
    const quint64 second = speech.lastId();
    EXPECT_EQ(speech.texts(), (QStringList{"Twenty five minutes.", "Five minutes left."}));
    EXPECT_EQ(speech.stops(), 2);
    EXPECT_EQ(speaker.caption(), QStringLiteral("Five minutes left."));

    // The cancel of the first, reported after the second began, leaves the second talking.
    speech.cancel(first);
    FakeClock::flush();
    EXPECT_TRUE(speaker.talking());
    speech.finish(first); // a stray late end of the old one changes nothing either
    FakeClock::flush();
    EXPECT_TRUE(speaker.talking());

    speech.finish(second);
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
    clock.advance(1699);
    EXPECT_TRUE(speaker.talking());
    clock.advance(1);
    EXPECT_FALSE(speaker.talking());

    // A later sentence's timer alone decides: the first one's would end at 1.7 s.
    int captions = 0;
    QObject::connect(&speaker, &Speaker::captionChanged, [&] { ++captions; });
    speaker.say(twenty, settings);
    EXPECT_EQ(captions, 1) << "the same sentence again is a new caption";
    clock.advance(1000);
    speaker.say(QStringLiteral("Hi"), settings); // 0.6 + 2 x 0.055 = 0.71 s
    clock.advance(709);
    EXPECT_TRUE(speaker.talking());
    clock.advance(1);
    EXPECT_FALSE(speaker.talking());
}

TEST_F(SpeakerTest, WatchdogEndsTalkingWhenTheSynthesiserNeverAnswers) {
    speaker.say(QStringLiteral("Twenty characters!!!"), settings);
    clock.advance(2 * 1700 + 5000 - 1); // twice the quiet time, and five seconds
    EXPECT_TRUE(speaker.talking());
    clock.advance(1);
    EXPECT_FALSE(speaker.talking());
}

// Quiet timing counts what a reader sees as one character: "e" with a combining accent, a flag.
TEST_F(SpeakerTest, UnreachableSynthesiserFallsBackToQuietTimingAndLogsOnce) {
    speech.setUnavailable(QStringLiteral("no socket"));
    LogCapture log;
    speaker.say(QStringLiteral("Two."), settings);
    speaker.say(QStringLiteral("e\u0301\U0001F1E9\U0001F1EA"), settings);
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("Pobi: speech failed: no socket")});
    EXPECT_TRUE(speech.texts().isEmpty());
    clock.advance(600 + 2 * 55 - 1);
    EXPECT_TRUE(speaker.talking());
    clock.advance(1);
    EXPECT_FALSE(speaker.talking());
    speech.setUnavailable(QStringLiteral("no socket"), true); // the next sentence reaches it
    speaker.say(QStringLiteral("Three."), settings);
    EXPECT_EQ(speech.texts(), QStringList{QStringLiteral("Three.")});
}

// The user's language first, then by tag and then by name.
TEST(SpeakerVoices, FilteredAndOrderedForTheUsersLanguage) {
    const QList<VoiceInfo> all{{"m/z", "Zoe", "en-US"},
                               {"m/b", "Bernd", "de-DE"},
                               {"m/y", "Yannick", "de-CH"},
                               {"m/e", "Eva", "cs-CZ"},
                               {"m/a", "Anna", "de-DE"}};
    EXPECT_EQ(Speaker::filterVoices(all, false, QStringLiteral("de")),
              (QList{all[2], all[4], all[1]}));
    EXPECT_EQ(Speaker::filterVoices(all, true, QStringLiteral("de")),
              (QList{all[2], all[4], all[1], all[3], all[0]}));
    EXPECT_EQ(Speaker::displayName(all[0], true), QStringLiteral("Zoe · English (United States)"));
}

} // namespace
