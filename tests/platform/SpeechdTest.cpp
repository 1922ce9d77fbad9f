#include "Clock.h"
#include "LogCapture.h"
#include "MonitorRecorder.h"
#include "Settings.h"
#include "Speaker.h"
#include "Spin.h"
#include "TestDirs.h"
#include "speechd/SpeechdService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
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
    const SinkSettles settles;
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    QList<std::pair<quint64, Outcome>> ended;
    SpeechdService speech;
};

TEST_F(Speechd, SpeaksASentenceAudiblyAndReportsItsEnd) {
    MonitorRecorder rec;
    ASSERT_TRUE(rec.start());
    const quint64 id = speech.speak(QStringLiteral("Twenty five minutes. Let's begin."), {}, 1.0);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(spinUntil([&] { return !ended.isEmpty(); }, 15000));
    EXPECT_EQ(ended, (QList<std::pair<quint64, Outcome>>{{id, Outcome::Finished}}));
    rec.stop();
    const auto sounds = rec.sounds(0.02);
    ASSERT_FALSE(sounds.isEmpty()) << "nothing audible on the sink";
    EXPECT_GT(sounds.last().endMs - sounds.first().beginMs, 800) << "far too short for a sentence";
}

// The old sentence's CANCEL comes back after the new one has started: it must not end talking.
TEST_F(Speechd, ACutOffSentenceIsCancelledAndTheSpeakerKeepsTalkingTheNewOne) {
    Speaker speaker(speech, Clock::system());
    speaker.say(QStringLiteral("This sentence is long enough to be cut off well before its end, "
                               "as the next one arrives."),
                settings);
    spin(500);
    speaker.say(QStringLiteral("Five minutes left."), settings);
    ASSERT_TRUE(spinUntil([&] { return !ended.isEmpty(); }, 5000)) << "no CANCEL came";
    EXPECT_EQ(ended.first().second, Outcome::Cancelled);
    spin(100); // the speaker handles it one turn later
    EXPECT_TRUE(speaker.talking());
    ASSERT_TRUE(spinUntil([&] { return !speaker.talking(); }, 10000));
    ASSERT_EQ(ended.size(), 2);
    EXPECT_NE(ended.first().first, ended.last().first);
    EXPECT_EQ(ended.last().second, Outcome::Finished);
}

TEST_F(Speechd, ListsBaseVoicesOnlyWithoutBlocking) {
    QList<QList<VoiceInfo>> ready;
    QObject::connect(&speech, &SpeechService::voicesReady,
                     [&ready](const QList<VoiceInfo>& v) { ready.append(v); });
    QElapsedTimer t;
    t.start();
    speech.requestVoices();
    EXPECT_LT(t.elapsed(), 200) << "listing must not block the caller";
    ASSERT_TRUE(spinUntil([&] { return !ready.isEmpty(); }, 20000));
    // espeak-ng lists thousands of variants; about a hundred and thirty base voices remain.
    EXPECT_GT(ready.first().size(), 20);
    EXPECT_LT(ready.first().size(), 1000);
    for (const auto& v : ready.first())
        EXPECT_TRUE(!v.name.contains(u'+') && v.id.startsWith(QLatin1String("espeak-ng/")))
            << v.id.toStdString();
    speech.requestVoices(); // the cached list comes back at once
    ASSERT_TRUE(spinUntil([&] { return ready.size() == 2; }, 1000));
    EXPECT_EQ(ready.last(), ready.first());
}

TEST(SpeechdFallback, AnUnreachableServerIsOneLogLineAndTheSpeakerStillEnds) {
    TestDirs dirs;
    Settings settings(dirs.settingsFile());
    qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/pobi/speechd.sock");
    QElapsedTimer t;
    t.start();
    SpeechdService speech;
    qunsetenv("SPEECHD_ADDRESS");
    EXPECT_FALSE(speech.available());
    EXPECT_EQ(speech.speak(QStringLiteral("Hello."), {}, 1.0), 0u);
    Speaker speaker(speech, Clock::system());
    LogCapture log;
    speaker.say(QStringLiteral("Hello."), settings);
    speaker.say(QStringLiteral("Hello again."), settings);
    EXPECT_LT(t.elapsed(), 1000);
    ASSERT_EQ(LogCapture::messages().size(), 1);
    EXPECT_TRUE(LogCapture::messages().first().startsWith(QStringLiteral("Pobi: speech failed: ")))
        << LogCapture::messages().first().toStdString();
    EXPECT_TRUE(speaker.talking());
    EXPECT_TRUE(spinUntil([&] { return !speaker.talking(); }, 2000));
    EXPECT_EQ(speaker.caption(), QStringLiteral("Hello again."));
}

// A speech server without a sound server takes sentences and never reports their end; the
// speaker's watchdog must still let the mascot stop talking.
TEST(SpeechdFallback, WatchdogEndsTalkingWhenTheServerNeverAnswers) {
    TestDirs dirs;
    const QString runtime = dirs.file(QStringLiteral("rt"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse/native"));
    env.remove(QStringLiteral("SPEECHD_ADDRESS"));
    QProcess server; // in the foreground (-s), so this test owns the process and ends it
    server.setProcessEnvironment(env);
    server.start(QStringLiteral("speech-dispatcher"),
                 {QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("0")});
    ASSERT_TRUE(server.waitForStarted(5000));
    const auto stopServer = qScopeGuard([&] {
        server.terminate();
        if (!server.waitForFinished(3000))
            server.kill();
        server.waitForFinished(3000);
    });
    const QString socket = runtime + QStringLiteral("/speech-dispatcher/speechd.sock");
    ASSERT_TRUE(spinUntil([&] { return QFile::exists(socket); }, 5000));

    Settings settings(dirs.settingsFile());
    qputenv("SPEECHD_ADDRESS", (QStringLiteral("unix_socket:") + socket).toUtf8());
    SpeechdService speech;
    qunsetenv("SPEECHD_ADDRESS");
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    Speaker speaker(speech, Clock::system());
    QElapsedTimer t;
    t.start();
    speaker.say(QStringLiteral("Hi."), settings);
    ASSERT_TRUE(spinUntil([&] { return !speaker.talking(); }, 15000));
    // Not before the bound: the server really said nothing back.
    EXPECT_GE(t.elapsed(), Speaker::watchdogMs(QStringLiteral("Hi.")) - 50);
}

TEST(SpeechdService, RateFactorMapsOntoSpeechDispatchersScale) {
    const std::pair<double, int> cases[] = {{1.0, 0},   {0.6, -24},   {1.6, 36},
                                            {1.25, 15}, {-5.0, -100}, {9.0, 100}};
    for (const auto& [factor, rate] : cases)
        EXPECT_EQ(SpeechdService::spdRate(factor), rate) << factor;
}

} // namespace
