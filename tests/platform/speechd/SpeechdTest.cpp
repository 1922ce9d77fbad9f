#include "LogCapture.h"
#include "MonitorRecorder.h"
#include "TestDirs.h"
#include "core/clock/Clock.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "platform/speechd/SpeechdService.h"

#include <QFile>
#include <QtCore/qtestsupport_core.h>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using Outcome = SpeechService::Outcome;

// The real speech server of scripts/test, its ended() reports collected.
class Speechd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
        QObject::connect(&speech, &SpeechService::ended, [this](quint64 id, Outcome o) {
            ended.append({id, o});
        });
    }
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    QList<std::pair<quint64, Outcome>> ended;
    SpeechdService speech;
};

// The old sentence's CANCEL comes back after the new one has started: the speaker keeps talking
// until the new sentence ends.
TEST_F(Speechd, ACutOffSentenceIsCancelledAndTheSpeakerKeepsTalkingTheNewOne) {
    LogCapture log;
    Speaker speaker(speech, Clock::system());
    speaker.say(QStringLiteral("This sentence is long enough to be cut off well before its end, "
                               "as the next one arrives."),
                settings);
    speaker.say(QStringLiteral("Five minutes left."), settings);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !ended.isEmpty() && ended.last().second == Outcome::Finished; }, 40000))
        << ended.size() << " ended, the last "
        << (ended.isEmpty() ? -1 : static_cast<int>(ended.last().second));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !speaker.talking(); }));
    // On a loaded machine libspeechd now and then hands back no reply from a live server; the
    // service then connects again, and the old connection's events go with it.
    if (LogCapture::messages().isEmpty()) {
        ASSERT_EQ(ended.size(), 2);
        EXPECT_EQ(ended.first().second, Outcome::Cancelled);
        EXPECT_NE(ended.first().first, ended.last().first);
    }
}

TEST_F(Speechd, ListsBaseVoicesOnlyWithoutBlockingAndOutOfReachNothingWaits) {
    QList<QList<VoiceInfo>> ready;
    QObject::connect(&speech, &SpeechService::voicesReady,
                     [&ready](const QList<VoiceInfo>& v) { ready.append(v); });
    QElapsedTimer t;
    t.start();
    speech.requestVoices();
    EXPECT_LT(t.elapsed(), 200) << "listing must not block the caller";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ready.isEmpty(); }, 20000));
    // espeak-ng lists thousands of variants; about a hundred and thirty base voices remain.
    EXPECT_GT(ready.first().size(), 20);
    EXPECT_LT(ready.first().size(), 1000);
    // The Settings page picks and orders them by their language.
    for (const auto& v : ready.first())
        EXPECT_TRUE(!v.name.contains(u'+') && !v.language.isEmpty() &&
                    v.id.startsWith(QLatin1String("espeak-ng/")))
            << v.id.toStdString();
    // Every request reads the list afresh: with the server out of reach it comes back empty.
    qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/pobi/speechd.sock"); // none can start
    speech.requestVoices();
    // Out of reach, no sentence waits for another failed start, and one line tells why (the
    // speaker's quiet fallback is the core's to test).
    SpeechdService gone;
    EXPECT_FALSE(gone.available());
    t.restart();
    Speaker speaker(gone, Clock::system());
    LogCapture log;
    speaker.say(QStringLiteral("Hello."), settings);
    speaker.say(QStringLiteral("Hello again."), settings);
    EXPECT_LT(t.elapsed(), 1000);
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages()[0].startsWith(QLatin1String("Pobi: speech failed: ")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.size() == 2; }, 5000));
    qunsetenv("SPEECHD_ADDRESS");
    EXPECT_TRUE(ready.last().isEmpty());
}

// A private runtime directory without a speech server, as on a desktop that starts none: the
// first client starts one (autospawn). Servers inherit the environment of that moment; the one
// running at the end is stopped.
class SpawnedSpeechd : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        qputenv("SPEECHD_ADDRESS",
                "unix_socket:" + runtime.toUtf8() + "/speech-dispatcher/speechd.sock");
    }
    void TearDown() override {
        stopServer();
        qunsetenv("SPEECHD_ADDRESS");
        qunsetenv("PULSE_SERVER");
        qputenv("XDG_RUNTIME_DIR", sharedRuntime);
    }
    QString pidFile() const { return runtime + "/speech-dispatcher/pid/speech-dispatcher.pid"; }
    // A server removes its pid file as it exits; one stuck on a missing sound server is killed.
    void stopServer() {
        QFile file(pidFile());
        const int pid = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
        if (pid > 0 && ::kill(pid, SIGTERM) == 0 &&
            !QTest::qWaitFor([&] { return !QFile::exists(pidFile()); }, 3000)) {
            ::kill(pid, SIGKILL);
            QFile::remove(pidFile());
        }
    }
    TestDirs dirs;
    const QString runtime = dirs.path(); // private to the user, as a runtime directory must be
    const QByteArray sharedRuntime = qgetenv("XDG_RUNTIME_DIR");
    Settings settings{dirs.settingsFile()};
};

// The first server started here has no sound server, so it takes sentences and never reports
// their end: the speaker's watchdog ends talking. Once that server has gone, the next sentence
// fails on the dead connection, and a new server (with sound, this time) is started to say it.
TEST_F(SpawnedSpeechd, StartsTheServerAndSpeaksAgainOnceItWasRestarted) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse/native");
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    QList<Outcome> ended;
    QObject::connect(&speech, &SpeechService::ended, [&](quint64, Outcome o) { ended.append(o); });
    Speaker speaker(speech, Clock::system());
    speaker.say(QStringLiteral("Hi."), settings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !speaker.talking(); }, 15000));
    EXPECT_TRUE(ended.isEmpty()) << "the server answered after all";
    qputenv("PULSE_SERVER", "unix:" + sharedRuntime + "/pulse/native");
    MonitorRecorder rec;
    ASSERT_TRUE(rec.start());
    // The next sentence follows the stop at once, while the old server may still be going.
    stopServer();
    LogCapture log;
    speaker.say(QStringLiteral("Twenty five minutes. Let's begin."), settings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !speaker.talking(); }, 15000));
    EXPECT_EQ(ended, QList<Outcome>{Outcome::Finished}) << "ended by the server, not the watchdog";
    rec.stop();
    const auto sounds = rec.lowBandSounds(0.01);
    ASSERT_FALSE(sounds.isEmpty()) << "nothing audible on the sink";
    EXPECT_GT(sounds.last().endMs - sounds.first().beginMs, 800) << "far too short for a sentence";
    EXPECT_EQ(LogCapture::messages(),
              QStringList{QStringLiteral("Pobi: speech-dispatcher went away; reconnecting")});
}

TEST(SpeechdService, RateFactorMapsOntoSpeechDispatchersScale) {
    const std::pair<double, int> cases[] = {{0.6, -24}, {1.25, 15}, {-5.0, -100}, {9.0, 100}};
    for (const auto& [factor, rate] : cases)
        EXPECT_EQ(SpeechdService::spdRate(factor), rate) << factor;
}

} // namespace
