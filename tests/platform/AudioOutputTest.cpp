#include "AudioRenderer.h"
#include "AudioShare.h"
#include "BellChime.h"
#include "Clock.h"
#include "Metronome.h"
#include "MonitorRecorder.h"
#include "Spin.h"
#include "TestDirs.h"
#include "audio/QtAudioPlayer.h"
#include "audio/RenderDevice.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class AudioOutput : public ::testing::Test {
protected:
    void SetUp() override {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0)
            GTEST_SKIP() << "no PulseAudio server (run through scripts/test)";
        ASSERT_TRUE(recording.start());
    }
    TestDirs dirs;
    MonitorRecorder recording;
};

TEST_F(AudioOutput, ClicksReachTheSinkExactlyOneBeatApart) {
    QSettings store(dirs.settingsFile(), QSettings::IniFormat);
    QtAudioPlayer player;
    Metronome metronome(store, player, Clock::system());
    metronome.setBpm(120);
    int beats = 0;
    QObject::connect(&metronome, &Metronome::ticked, [&] { ++beats; });
    metronome.start();
    ASSERT_TRUE(metronome.running()) << player.errorString().toStdString();
    // Each beat event comes as its click is heard: four mean four clicks played.
    ASSERT_TRUE(spinUntil([&] { return beats >= 4; }, 10000));
    metronome.stop();
    EXPECT_FALSE(player.isRunning());
    spin(200);
    recording.stop();
    const auto& samples = recording.samples();

    // Silence is exactly 0 and both clicks exceed 2 from their second sample on, so the onsets of
    // loud and quiet clicks line up.
    const auto found = recording.onsets(2, 4000);
    ASSERT_GE(found.size(), 4) << "recorded " << samples.size() << " samples";
    for (qsizetype k = 1; k < found.size(); ++k)
        EXPECT_NEAR(found[k] - found[k - 1], 22050, 3)
            << "between clicks " << k - 1 << " and " << k;
    const auto peak = [&](qsizetype from) {
        int p = 0;
        for (qsizetype i = from; i < std::min(from + 3087, samples.size()); ++i)
            p = std::max(p, std::abs(int(samples[i])));
        return p;
    };
    EXPECT_GT(peak(found[0]), peak(found[1]) * 3 / 2) << "the bar's first click is the loud one";
}

TEST_F(AudioOutput, TheChimeReachesTheSinkWholeAndReleasesTheOutput) {
    QtAudioPlayer player;
    AudioShare share(player);
    BellChime chime(share, Clock::system());
    chime.play();
    EXPECT_TRUE(player.isRunning()) << player.errorString().toStdString();
    spin(2200);
    EXPECT_FALSE(player.isRunning());
    recording.stop();
    const auto& samples = recording.samples();
    // One bell with no silence inside it, at its full length and level.
    const auto found = recording.onsets(0, 50);
    ASSERT_EQ(found.size(), 1);
    const auto begin = found[0];
    auto end = samples.size();
    while (end > 0 && samples[end - 1] == 0)
        --end;
    EXPECT_NEAR(double(end - begin), BellChime::bellFrames, 100);
    int peak = 0;
    for (auto s : samples)
        peak = std::max(peak, std::abs(int(s)));
    EXPECT_NEAR(peak, 0.45 * 32767, 400);
}

// The sound server restarting while the metronome plays stops it; once the server is back a new
// start plays again, without restarting the program.
TEST_F(AudioOutput, SoundComesBackAfterTheServerRestarts) {
    QFile pid(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/pid"));
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    QFile cmdline(QStringLiteral("/proc/") + QString::fromLatin1(pid.readAll().trimmed()) +
                  QStringLiteral("/cmdline")); // the server's own command line, to start it again
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    QStringList server =
        QString::fromLocal8Bit(cmdline.readAll()).split(QChar(0), Qt::SkipEmptyParts);
    const QString program = server.takeFirst();
    QSettings store(dirs.settingsFile(), QSettings::IniFormat);
    QtAudioPlayer player;
    Metronome metronome(store, player, Clock::system());
    metronome.start();
    ASSERT_TRUE(metronome.running()) << player.errorString().toStdString();
    ASSERT_EQ(QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")}), 0);
    ASSERT_TRUE(spinUntil([&] { return !metronome.running(); }));
    ASSERT_EQ(QProcess::execute(program, server), 0);

    MonitorRecorder again;
    ASSERT_TRUE(again.start());
    ASSERT_TRUE(spinUntil([&] { return player.start(); }, 15000));
    player.stop();
    int ticks = 0;
    QObject::connect(&metronome, &Metronome::ticked, [&] { ++ticks; });
    metronome.start();
    ASSERT_TRUE(spinUntil([&] { return ticks == 3; }));
    again.stop();
    EXPECT_GE(again.onsets(2, 4000).size(), 2);
}

// Run in a child process that cannot reach any sound server.
TEST(AudioWithoutServer, Child) {
    if (qgetenv("POBI_AUDIO_CHILD") != "1")
        GTEST_SKIP() << "runs only as the child of FailsCleanlyWithOneLogLine";
    TestDirs dirs;
    QSettings store(dirs.settingsFile(), QSettings::IniFormat);
    QtAudioPlayer player;
    Metronome metronome(store, player, Clock::system());
    metronome.start();
    EXPECT_FALSE(metronome.running());
    EXPECT_FALSE(player.isRunning());
    spin(300);
    EXPECT_EQ(metronome.beat(), -1);
}

TEST(AudioWithoutServer, FailsCleanlyWithOneLogLine) {
    TestDirs dirs;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("POBI_AUDIO_CHILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + dirs.file("no-socket"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dirs.path());
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), dirs.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=AudioWithoutServer.Child")});
    ASSERT_TRUE(child.waitForFinished(20000)) << "the child hung";
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    const QString err = QString::fromUtf8(child.readAllStandardError());
    EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    const QStringList ours = err.split(u'\n').filter(QRegularExpression(QStringLiteral("^Pobi:")));
    ASSERT_EQ(ours.size(), 1) << err.toStdString();
    EXPECT_TRUE(ours[0].startsWith(QStringLiteral("Pobi: audio failed: ")));
    EXPECT_GT(ours[0].size(), QStringLiteral("Pobi: audio failed: ").size());
}

TEST(RenderDevice, ConvertsToSixteenBitsWhenFloatIsRefused) {
    AudioRenderer renderer;
    auto b = std::make_shared<std::vector<float>>(std::vector<float>{0.5f, -1.0f, 2.0f, -0.25f});
    renderer.schedule(0, b, 3000); // past the first scratch block
    RenderDevice device(renderer, true);
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QByteArray bytes = device.read(2 * 3010);
    ASSERT_EQ(bytes.size(), 2 * 3010);
    std::vector<qint16> s(3010);
    std::memcpy(s.data(), bytes.constData(), bytes.size());
    EXPECT_EQ(std::vector<qint16>(s.begin() + 2999, s.begin() + 3004),
              (std::vector<qint16>{0, 16384, -32767, 32767, -8192})); // 2.0 clipped
    EXPECT_EQ(renderer.frames(), 3010);

    RenderDevice floats(renderer, false);
    floats.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    EXPECT_EQ(floats.read(4 * 100 + 3).size(), 400); // whole frames only
}

} // namespace
