#include "LogCapture.h"
#include "MonitorRecorder.h"
#include "TestDirs.h"
#include "core/audio/AudioShare.h"
#include "core/audio/BellChime.h"
#include "core/clock/Clock.h"
#include "core/metronome/Metronome.h"
#include "platform/audio/QtAudioPlayer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

namespace {

bool runQuietly(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A sound server of these tests' own, like the shared one of scripts/services.sh. Restarting the
// shared one would also cut off the speech server playing through it, and the speech tests after
// these would wait on a sentence it never finishes. Its address stays the same for the life of
// the process, as the output's connection to the sound server does.
class PrivateSoundServer {
public:
    // Points this process at the server: the audio output reads its address from there.
    void use() {
        for (const char* name : {"PULSE_SERVER", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"})
            m_saved.append({name, qgetenv(name)});
        qputenv("PULSE_RUNTIME_PATH", m_dir.path().toUtf8());
        qputenv("PULSE_STATE_PATH", m_dir.path().toUtf8());
        qputenv("PULSE_SERVER", "unix:" + m_dir.filePath("native").toUtf8());
    }
    void leave() {
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    bool start() const {
        const QStringList args = {
            "-D", "-n", "--exit-idle-time=-1",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                m_dir.filePath("native"),
            "--load=module-null-sink sink_name=nullsink rate=44100 norewinds=1"};
        return runQuietly(QStringLiteral("pulseaudio"), args) &&
               QTest::qWaitFor([] { return runQuietly("pactl", {"info"}); }, 10000);
    }
    void stop() const { runQuietly(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")}); }
    // Qt's audio output now and then aborts a process that ends just as its sound server went
    // away, so the server is stopped, and its folder removed, only once this process has ended.
    void stopAfterThisProcess() {
        m_dir.setAutoRemove(false);
        QProcess::startDetached(
            QStringLiteral("sh"),
            {"-c",
             "while kill -0 $0 2>/dev/null; do sleep 0.2; done; pulseaudio --kill; rm -r \"$1\"",
             QString::number(QCoreApplication::applicationPid()), m_dir.path()});
    }

private:
    QTemporaryDir m_dir;
    QList<std::pair<const char*, QByteArray>> m_saved;
};

class AudioOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server.use();
        started = server.start();
        if (started)
            server.stopAfterThisProcess();
    }
    static void TearDownTestSuite() { server.leave(); }
    void SetUp() override {
        if (!started)
            GTEST_SKIP() << "cannot start PulseAudio (pulseaudio and pactl are needed)";
    }
    static inline PrivateSoundServer server;
    static inline bool started = false;
    TestDirs dirs;
    QSettings store{dirs.settingsFile(), QSettings::IniFormat};
    MonitorRecorder recording;
    QtAudioPlayer player;
};

TEST_F(AudioOutput, TheChimeReachesTheSinkWholeAndReleasesTheOutput) {
    ASSERT_TRUE(recording.start());
    AudioShare share(player);
    BellChime chime(share, Clock::system());
    chime.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !player.isRunning(); }, 10000));
    recording.stop();
    // One bell with no silence inside it, its end not cut off by an output released too soon.
    const auto& samples = recording.samples();
    const auto found = recording.onsets(0, 50);
    ASSERT_EQ(found.size(), 1) << player.errorString().toStdString();
    auto end = samples.size();
    while (end > 0 && samples[end - 1] == 0)
        --end;
    EXPECT_NEAR(double(end - found[0]), BellChime::bellFrames, 100);
}

// The sound server restarting while the metronome plays stops it, and while it is away a start
// fails with one line saying why; once the server is back a new start plays again, without
// restarting the program, with its clicks exactly one beat apart.
TEST_F(AudioOutput, ClicksReachTheSinkOneBeatApartAgainAfterTheServerRestarts) {
    Metronome metronome(store, player, Clock::system());
    metronome.setBpm(120);
    metronome.start();
    ASSERT_TRUE(metronome.running()) << player.errorString().toStdString();
    server.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !metronome.running(); }));
    {
        // Only around the failed start: the capture is not safe against the output's thread.
        LogCapture log;
        metronome.start();
        EXPECT_FALSE(metronome.running());
        EXPECT_FALSE(player.errorString().isEmpty());
        EXPECT_EQ(log.messages().filter(QStringLiteral("Pobi:")),
                  QStringList{QStringLiteral("Pobi: audio failed: ") + player.errorString()});
    }
    ASSERT_TRUE(server.start());

    ASSERT_TRUE(recording.start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.start(); }, 15000));
    player.stop();
    int beats = 0;
    QObject::connect(&metronome, &Metronome::ticked, [&] { ++beats; });
    metronome.start();
    // Each beat event comes as its click is heard: four mean four clicks played.
    ASSERT_TRUE(QTest::qWaitFor([&] { return beats >= 4; }, 10000));
    metronome.stop();
    EXPECT_FALSE(player.isRunning());
    recording.stop();

    // Silence is exactly 0 and both clicks exceed 2 from their second sample on, so the onsets of
    // loud and quiet clicks line up. Which click is loud is the metronome's own business.
    const auto found = recording.onsets(2, 4000);
    ASSERT_GE(found.size(), 4) << "recorded " << recording.samples().size() << " samples";
    for (qsizetype k = 1; k < found.size(); ++k)
        EXPECT_NEAR(found[k] - found[k - 1], 22050, 3)
            << "between clicks " << k - 1 << " and " << k;
}

} // namespace
