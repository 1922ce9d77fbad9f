#include "PobiProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>

namespace {

#define REQUIRE_DESKTOP()                                                                          \
    if (!Desktop::available())                                                                     \
    GTEST_SKIP() << "needs the private X server, sound and speech of scripts/test"

bool popupVisible() {
    for (const QRect& r : Desktop::pobiWindows()) {
        if (r.width() >= 300) // the popup is 340 wide; the tray icon and menu are narrower
            return true;
    }
    return false;
}

// Records what is played on the null sink.
class Recorder {
public:
    explicit Recorder(const QString& file) : m_file(file) {
        m_process.start(
            QStringLiteral("parecord"),
            {QStringLiteral("--latency-msec=20"), QStringLiteral("--device=nullsink.monitor"),
             QStringLiteral("--rate=44100"), QStringLiteral("--channels=1"),
             QStringLiteral("--format=s16le"), QStringLiteral("--file-format=wav"), file});
        m_process.waitForStarted(3000);
        m_clock.start();
    }
    ~Recorder() { stop(); }
    qint64 elapsedMs() const { return m_clock.elapsed(); }
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
        m_process.waitForFinished(3000);
    }
    // Loudness (RMS of full scale) of the recording between two times, in seconds.
    double rms(double from, double to) const {
        QFile f(m_file);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray data = f.readAll().mid(44);
        const auto* s = reinterpret_cast<const qint16*>(data.constData());
        const qint64 n = data.size() / 2;
        const qint64 a = std::clamp<qint64>(qint64(from * 44100), 0, n);
        const qint64 b = std::clamp<qint64>(qint64(to * 44100), 0, n);
        double sum = 0;
        for (qint64 i = a; i < b; ++i)
            sum += double(s[i]) * s[i];
        return b > a ? std::sqrt(sum / double(b - a)) / 32768.0 : 0;
    }

private:
    QString m_file;
    QProcess m_process;
    QElapsedTimer m_clock;
};

} // namespace

TEST(Snapshot, WritesExactlyTwoPngs340WideInLightAndDark) {
    QTemporaryDir dir;
    std::optional<QRgb> corner[2];
    for (bool dark : {false, true}) {
        PobiProcess pobi;
        const QString out = dir.filePath(dark ? QStringLiteral("dark") : QStringLiteral("light"));
        QStringList args{QStringLiteral("--snapshot"), out};
        if (dark)
            args.prepend(QStringLiteral("--dark"));
        ASSERT_EQ(pobi.runAnother(args, 20000), 0);
        const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(files, (QStringList{"popover.png", "settings.png"}));
        for (const QString& name : files) {
            const QImage image(QDir(out).filePath(name));
            EXPECT_EQ(image.width(), 340) << name.toStdString();
            EXPECT_GT(image.height(), 100) << name.toStdString();
        }
        corner[dark] = QImage(QDir(out).filePath(QStringLiteral("popover.png"))).pixel(4, 4);
    }
    // The dark snapshot has a dark background, the light one a light background.
    EXPECT_GT(qGray(*corner[0]), 160);
    EXPECT_LT(qGray(*corner[1]), 100);
}

TEST(Snapshot, DarkOptionMayPrecedeTheCommandAndTheStoredModeIsKept) {
    QTemporaryDir dir;
    PobiProcess pobi;
    auto height = [&](const QString& name, QStringList extra) {
        const QString out = dir.filePath(name);
        QStringList args{QStringLiteral("--snapshot"), out, QStringLiteral("--dark")};
        args << extra;
        EXPECT_EQ(pobi.runAnother(args, 20000), 0);
        return QImage(QDir(out).filePath(QStringLiteral("popover.png"))).height();
    };
    const int idle = height(QStringLiteral("idle"), {});
    // A running stopwatch adds its Lap, Pause and Stop row: the command was not lost.
    const int running = height(QStringLiteral("sw"), {QStringLiteral("sw")});
    EXPECT_GT(idle, 100);
    EXPECT_GT(running, idle);
    const QSettings stored(pobi.settingsFile(), QSettings::IniFormat);
    EXPECT_NE(stored.value(QStringLiteral("mode")).toString(), QStringLiteral("stopwatch"));
}

TEST(Snapshot, TempoCheckPrintsOneLineOfHalfSecondGaps) {
    QTemporaryDir dir;
    PobiProcess pobi;
    QByteArray out;
    const QString folder = dir.filePath(QStringLiteral("tc"));
    ASSERT_EQ(pobi.runAnother({QStringLiteral("--snapshot"), folder, QStringLiteral("tempo-check")},
                              20000, &out),
              0);
    const QString text = QString::fromUtf8(out);
    ASSERT_EQ(text.count(u'\n'), 1) << text.toStdString();
    static const QRegularExpression line(
        QStringLiteral(R"(^tempo-check beats=(\d+) gaps=\[((?:"\d+\.\d{3}"(?:, )?)*)\]\n$)"));
    const auto m = line.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());

    const int beats = m.captured(1).toInt();
    const QStringList gaps = m.captured(2).isEmpty()
                                 ? QStringList()
                                 : m.captured(2).remove(u'"').split(QStringLiteral(", "));
    EXPECT_EQ(gaps.size(), std::max(0, beats - 1));
    if (!Desktop::available())
        return; // no sound server: beats=0 is the honest answer
    EXPECT_GE(beats, 3);
    for (const QString& gap : gaps)
        EXPECT_NEAR(gap.toDouble(), 0.5, 0.01) << text.toStdString();
}

TEST(App, TrayClickOpensThePopupAndATypedTimerSpeaksAndChimes) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    const auto icon = Desktop::trayIcon(10000);
    ASSERT_TRUE(icon.has_value()) << pobi.stderrText().toStdString();

    Desktop::click(icon->center(), 1);
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 5000));
    EXPECT_TRUE(Desktop::waitUntil(popupVisible, 3000));
    QThread::msleep(300); // the page takes the focus one turn after opening

    QTemporaryDir dir;
    Recorder recorder(dir.filePath(QStringLiteral("out.wav")));
    QThread::msleep(300);
    Desktop::type(QStringLiteral("5s tea"));
    const int before = pobi.trace().size();
    Desktop::key(QStringLiteral("Return"));
    const double returnAt = recorder.elapsedMs() / 1000.0;

    // The tray shows the time left, and the popup closes a moment after the start.
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral(":05\""), 3000, before))
        << pobi.stderrText().toStdString();
    const auto hidden = pobi.waitForTrace(QStringLiteral("popup hidden"), 3000, before);
    ASSERT_TRUE(hidden);
    const double hiddenAt = recorder.elapsedMs() / 1000.0;
    EXPECT_GT(hiddenAt - returnAt, 0.6);
    EXPECT_FALSE(popupVisible());

    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("title \" Done\""), 9000, before));
    const double doneAt = recorder.elapsedMs() / 1000.0;
    QThread::msleep(1500);
    recorder.stop();

    // The start line is spoken, and the chime sounds when the timer ends (the end line follows
    // 0.6 s later, so the first half second after the end is the chime's).
    EXPECT_GT(recorder.rms(returnAt, returnAt + 2.5), 0.005);
    EXPECT_GT(recorder.rms(doneAt - 0.1, doneAt + 0.5), 0.005);
}

TEST(App, RightClickShowsTheMenuNotThePopup) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    const auto icon = Desktop::trayIcon(10000);
    ASSERT_TRUE(icon.has_value());
    Desktop::click(icon->center(), 3);
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("menu shown"), 5000));
    // The menu is a window of its own next to the icon.
    EXPECT_TRUE(Desktop::waitUntil([] { return Desktop::pobiWindows().size() >= 2; }, 3000));
    EXPECT_FALSE(popupVisible());
    EXPECT_FALSE(pobi.waitForTrace(QStringLiteral("popup shown"), 300));
    Desktop::key(QStringLiteral("Escape"));
}

TEST(App, SecondLaunchOpensTheFirstOnesPopupAndToggleClosesIt) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());

    EXPECT_EQ(pobi.runAnother({}, 10000), 0);
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 3000));
    EXPECT_TRUE(Desktop::waitUntil(popupVisible, 3000));

    const int before = pobi.trace().size();
    EXPECT_EQ(pobi.runAnother({QStringLiteral("--toggle")}, 10000), 0);
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup hidden"), 3000, before));
    // Still one tray icon: the second process added none.
    int icons = 0;
    for (const QRect& r : Desktop::pobiWindows())
        icons += r.width() <= 64 ? 1 : 0;
    EXPECT_EQ(icons, 1);
}

TEST(App, HotkeyTogglesThePopup) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());
    QThread::msleep(300);

    Desktop::key(QStringLiteral("ctrl+alt+t"));
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 3000))
        << pobi.stderrText().toStdString();
    const int before = pobi.trace().size();
    QThread::msleep(300);
    Desktop::key(QStringLiteral("ctrl+alt+t"));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup hidden"), 3000, before));
    const int again = pobi.trace().size();
    QThread::msleep(300);
    Desktop::key(QStringLiteral("ctrl+alt+t"));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 3000, again));
}

TEST(App, FirstLaunchGreetsOnceAndRemembersIt) {
    REQUIRE_DESKTOP();
    PobiProcess pobi(/*firstLaunch=*/true);
    ASSERT_TRUE(pobi.start());
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 5000));
    pobi.stop();
    EXPECT_TRUE(QSettings(pobi.settingsFile(), QSettings::IniFormat)
                    .value(QStringLiteral("hasLaunched"))
                    .toBool());

    const int before = pobi.trace().size();
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());
    EXPECT_FALSE(pobi.waitForTrace(QStringLiteral("popup shown"), 1500, before));
}
