#include "Clock.h"
#include "LogCapture.h"
#include "MonitorRecorder.h"
#include "Settings.h"
#include "Speaker.h"
#include "TestDirs.h"
#include "speechd/SpeechdService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The old sentence's CANCEL comes back after the new one has started: it must not end talking.
TEST(SpeakerOnSpeechd, CutOffSentenceLeavesTheNewOneTalking) {
    const SinkSettles settles;
    TestDirs dirs;
    Settings settings(dirs.settingsFile());
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    Speaker speaker(speech, Clock::system());
    QList<std::pair<quint64, SpeechService::Outcome>> ended;
    QObject::connect(&speech, &SpeechService::ended, [&](quint64 id, SpeechService::Outcome o) {
        ended.append({id, o});
    });

    speaker.say(QStringLiteral("This sentence is long enough to be cut off well before its end, "
                               "as the next one arrives."),
                settings);
    spinUntil([] { return false; }, 500);
    speaker.say(QStringLiteral("Five minutes left."), settings);
    ASSERT_TRUE(spinUntil([&] { return !ended.isEmpty(); }, 5000)) << "no CANCEL came";
    EXPECT_EQ(ended.first().second, SpeechService::Outcome::Cancelled);
    spinUntil([] { return false; }, 100); // the speaker handles it one turn later
    EXPECT_TRUE(speaker.talking());
    ASSERT_TRUE(spinUntil([&] { return !speaker.talking(); }, 10000));
    ASSERT_EQ(ended.size(), 2);
    EXPECT_EQ(ended.last().second, SpeechService::Outcome::Finished);
}

TEST(SpeakerOnSpeechd, UnreachableServerFallsBackWithoutHanging) {
    TestDirs dirs;
    Settings settings(dirs.settingsFile());
    qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/pobi/speechd.sock");
    QElapsedTimer t;
    t.start();
    SpeechdService speech;
    qunsetenv("SPEECHD_ADDRESS");
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
TEST(SpeakerOnSpeechd, WatchdogEndsTalkingWhenTheServerNeverAnswers) {
    TestDirs dirs;
    const QString runtime = dirs.file(QStringLiteral("rt"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse/native"));
    env.remove(QStringLiteral("SPEECHD_ADDRESS"));
    // In the foreground (-s), so this test owns the process and ends it.
    QProcess server;
    server.setProcessEnvironment(env);
    server.start(QStringLiteral("speech-dispatcher"),
                 {QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("0")});
    ASSERT_TRUE(server.waitForStarted(5000));
    const auto stopServer = qScopeGuard([&] {
        server.terminate();
        if (!server.waitForFinished(3000)) {
            server.kill();
            server.waitForFinished(3000);
        }
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
    EXPECT_TRUE(speaker.talking());
    ASSERT_TRUE(spinUntil([&] { return !speaker.talking(); }, 15000));
    // Not before the bound: the server really said nothing back.
    EXPECT_GE(t.elapsed(), Speaker::watchdogMs(QStringLiteral("Hi.")) - 50);
}

} // namespace
