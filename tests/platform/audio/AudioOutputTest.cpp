#include "LogCapture.h"
#include "MonitorRecorder.h"
#include "TestDirs.h"
#include "core/audio/AudioShare.h"
#include "core/audio/BellChime.h"
#include "core/clock/Clock.h"
#include "core/metronome/Metronome.h"
#include "platform/audio/QtAudioPlayer.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

namespace {

class AudioOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (QProcess::execute(QStringLiteral("sh"), {"-c", "pactl info >/dev/null"}) != 0)
            GTEST_SKIP() << "no PulseAudio server (run through scripts/services.sh)";
    }
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
    QFile pid(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/pid"));
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    QFile cmdline(QStringLiteral("/proc/") + QString::fromLatin1(pid.readAll().trimmed()) +
                  QStringLiteral("/cmdline")); // the server's own command line, to start it again
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    QStringList server =
        QString::fromLocal8Bit(cmdline.readAll()).split(QChar(0), Qt::SkipEmptyParts);
    const QString program = server.takeFirst();
    Metronome metronome(store, player, Clock::system());
    metronome.setBpm(120);
    metronome.start();
    ASSERT_TRUE(metronome.running()) << player.errorString().toStdString();
    ASSERT_EQ(QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")}), 0);
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
    ASSERT_EQ(QProcess::execute(program, server), 0);

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
