#include "AudioRenderer.h"
#include "AudioShare.h"
#include "BellChime.h"
#include "Clock.h"
#include "Metronome.h"
#include "TestDirs.h"
#include "audio/QtAudioPlayer.h"
#include "audio/RenderDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

namespace {

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool soundServerUp() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished(5000) && pactl.exitCode() == 0;
}

// Records what the null sink plays, from construction to samples().
class SinkRecording {
public:
    explicit SinkRecording(const QString& file) : m_file(file) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("parecord"),
                        {"--latency-msec=20", "--device=nullsink.monitor", "--rate=44100",
                         "--channels=1", "--format=s16le", "--file-format=wav", file});
        m_process.waitForStarted();
        spin(400); // connected and streaming
    }
    ~SinkRecording() { finish(); }

    std::vector<qint16> samples() {
        finish();
        QFile f(m_file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QByteArray wav = f.readAll();
        // Walk the RIFF chunks to "data".
        qsizetype at = 12;
        while (at + 8 <= wav.size()) {
            quint32 size = 0;
            std::memcpy(&size, wav.constData() + at + 4, 4);
            if (wav.mid(at, 4) == "data") {
                const qsizetype bytes = std::min<qsizetype>(size, wav.size() - at - 8);
                std::vector<qint16> out(static_cast<std::size_t>(bytes / 2));
                std::memcpy(out.data(), wav.constData() + at + 8, out.size() * 2);
                return out;
            }
            at += 8 + size;
        }
        return {};
    }

private:
    void finish() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
        m_process.waitForFinished(5000);
    }

    QString m_file;
    QProcess m_process;
};

// Where each click starts: the first sample above threshold after at least gap quiet samples.
std::vector<qint64> onsets(const std::vector<qint16>& s, int threshold, int gap = 4000) {
    std::vector<qint64> found;
    qint64 quiet = gap;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) > threshold) {
            if (quiet >= gap)
                found.push_back(static_cast<qint64>(i));
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

class AudioOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!soundServerUp())
            GTEST_SKIP() << "no PulseAudio server (run through scripts/test)";
    }
    TestDirs dirs;
};

TEST_F(AudioOutput, ClicksReachTheSinkExactlyOneBeatApart) {
    QSettings store(dirs.settingsFile(), QSettings::IniFormat);
    QtAudioPlayer player;
    Metronome metronome(store, player, Clock::system());
    metronome.setBpm(120);
    std::vector<std::pair<int, bool>> ticks;
    QObject::connect(&metronome, &Metronome::ticked,
                     [&](int n, bool accent) { ticks.emplace_back(n, accent); });

    SinkRecording recording(dirs.file(QStringLiteral("clicks.wav")));
    metronome.start();
    ASSERT_TRUE(metronome.running()) << player.errorString().toStdString();
    spin(2000);
    metronome.stop();
    EXPECT_FALSE(player.isRunning());
    spin(200);
    const auto samples = recording.samples();

    // Silence is exactly 0 and both clicks exceed 2 from their second sample on, so the onsets of
    // loud and quiet clicks line up.
    const auto found = onsets(samples, 2);
    ASSERT_GE(found.size(), 4u) << "recorded " << samples.size() << " samples";
    for (std::size_t k = 1; k < found.size(); ++k)
        EXPECT_NEAR(found[k] - found[k - 1], 22050, 3)
            << "between clicks " << k - 1 << " and " << k;
    // The first click of the bar is the loud one.
    const auto peak = [&](qint64 from) {
        int p = 0;
        for (qint64 i = from; i < from + 3087 && i < static_cast<qint64>(samples.size()); ++i)
            p = std::max(p, std::abs(int(samples[static_cast<std::size_t>(i)])));
        return p;
    };
    EXPECT_GT(peak(found[0]), peak(found[1]) * 3 / 2);
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(ticks[0], std::make_pair(0, true));
    EXPECT_EQ(ticks[3], std::make_pair(3, false));
}

TEST_F(AudioOutput, TheChimeReachesTheSinkAndReleasesTheOutput) {
    QtAudioPlayer player;
    AudioShare share(player);
    BellChime chime(share, Clock::system());
    SinkRecording recording(dirs.file(QStringLiteral("chime.wav")));
    chime.play();
    EXPECT_TRUE(player.isRunning()) << player.errorString().toStdString();
    spin(2200);
    EXPECT_FALSE(player.isRunning());
    const auto samples = recording.samples();
    // One bell, whole: no stretch of silence inside it.
    const auto found = onsets(samples, 0, 44100);
    ASSERT_EQ(found.size(), 1u);
    std::size_t end = samples.size();
    while (end > 0 && samples[end - 1] == 0)
        --end;
    EXPECT_NEAR(static_cast<double>(end) - static_cast<double>(found[0]), BellChime::bellFrames,
                100);
    const auto gaps =
        onsets(std::vector<qint16>(samples.begin() + found[0], samples.begin() + end), 0, 50);
    EXPECT_EQ(gaps.size(), 1u);
    int peak = 0;
    for (auto s : samples)
        peak = std::max(peak, std::abs(int(s)));
    EXPECT_NEAR(peak, 0.45 * 32767, 400);
}

TEST_F(AudioOutput, StartsAndStopsRepeatedlyWithoutHanging) {
    QtAudioPlayer player;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(player.start()) << player.errorString().toStdString();
        EXPECT_TRUE(player.start());
        spin(100);
        EXPECT_GT(player.sampleTime(), 0);
        player.stop();
        EXPECT_EQ(player.sampleTime(), 0);
    }
    player.stop();
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
    EXPECT_FALSE(player.errorString().isEmpty());
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
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    QStringList ours;
    for (const QString& line : err.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pobi:")))
            ours << line;
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
    EXPECT_EQ(s[2999], 0);
    EXPECT_EQ(s[3000], 16384);
    EXPECT_EQ(s[3001], -32767);
    EXPECT_EQ(s[3002], 32767); // clipped
    EXPECT_EQ(s[3003], -8192);
    EXPECT_EQ(renderer.frames(), 3010);

    RenderDevice floats(renderer, false);
    floats.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    EXPECT_EQ(floats.read(4 * 100 + 3).size(), 400); // whole frames only
}

} // namespace
