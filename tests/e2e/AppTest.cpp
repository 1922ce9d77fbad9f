#include "MonitorRecorder.h"
#include "PobiProcess.h"
#include "Spin.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

#define REQUIRE_DESKTOP()                                                                          \
    if (!Desktop::available())                                                                     \
    GTEST_SKIP() << "needs the private X server, sound and speech of scripts/test"

bool popupVisible() {
    const auto windows = Desktop::pobiWindows();
    // The popup is 340 wide; the tray icon and menu are narrower.
    return std::any_of(windows.begin(), windows.end(), [](QRect r) { return r.width() >= 300; });
}

void key(const char* keys) {
    Desktop::xdotool({"key", QLatin1String(keys)});
}

TEST(Snapshot, WritesExactlyTwoPngs340WideInLightAndDark) {
    QTemporaryDir dir;
    int cornerGray[2] = {};
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
        cornerGray[dark] = qGray(QImage(QDir(out).filePath("popover.png")).pixel(4, 4));
    }
    EXPECT_GT(cornerGray[0], 160) << "light background";
    EXPECT_LT(cornerGray[1], 100) << "dark background";
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
    static const QRegularExpression line(
        QStringLiteral(R"(^tempo-check beats=(\d+) gaps=\[((?:"\d+\.\d{3}"(?:, )?)*)\]\n$)"));
    const auto m = line.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());

    const int beats = m.captured(1).toInt();
    const QStringList gaps =
        m.captured(2).remove(u'"').split(QStringLiteral(", "), Qt::SkipEmptyParts);
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

    Desktop::xdotool({"mousemove", QString::number(icon->center().x()),
                      QString::number(icon->center().y()), "click", "1"});
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 5000));
    EXPECT_TRUE(spinUntil(popupVisible, 3000));
    QThread::msleep(300); // the page takes the focus one turn after opening

    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.start());
    QElapsedTimer clock;
    clock.start();
    Desktop::xdotool({"type", "--delay", "40", "5s tea"});
    const int before = pobi.trace().size();
    key("Return");
    const int returnAt = int(clock.elapsed());

    // The tray shows the time left, and the popup closes a moment after the start.
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral(":05\""), 3000, before))
        << pobi.stderrText().toStdString();
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup hidden"), 3000, before));
    EXPECT_GT(clock.elapsed() - returnAt, 600);
    EXPECT_FALSE(popupVisible());

    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("title \" Done\""), 9000, before));
    const int doneAt = int(clock.elapsed());
    QThread::msleep(1000);
    recorder.stop();
    // The start line is spoken, the chime (its 1318.5 Hz partial) sounds when the timer ends, and
    // the end line follows the chime.
    const auto speech = recorder.lowBandSounds(0.01);
    ASSERT_GE(speech.size(), 2);
    EXPECT_GT(speech.first().beginMs, returnAt - 100);
    EXPECT_LT(speech.first().beginMs, returnAt + 2500);
    const int chime = recorder.toneOnsetMs(1318.5, 0.05);
    EXPECT_NEAR(chime, doneAt, 600);
    EXPECT_NEAR(speech.last().beginMs - chime, 600, 400);
}

TEST(App, RightClickShowsTheMenuNotThePopup) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    const auto icon = Desktop::trayIcon(10000);
    ASSERT_TRUE(icon.has_value());
    Desktop::xdotool({"mousemove", QString::number(icon->center().x()),
                      QString::number(icon->center().y()), "click", "3"});
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("menu shown"), 5000));
    // The menu is a window of its own next to the icon.
    EXPECT_TRUE(spinUntil([] { return Desktop::pobiWindows().size() >= 2; }, 3000));
    EXPECT_FALSE(popupVisible());
    EXPECT_FALSE(pobi.waitForTrace(QStringLiteral("popup shown"), 300));
    key("Escape");
}

TEST(App, SecondLaunchOpensTheFirstOnesPopupAndToggleClosesIt) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());

    EXPECT_EQ(pobi.runAnother({}, 10000), 0);
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 3000));
    EXPECT_TRUE(spinUntil(popupVisible, 3000));
    const int before = pobi.trace().size();
    EXPECT_EQ(pobi.runAnother({QStringLiteral("--toggle")}, 10000), 0);
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup hidden"), 3000, before));
    const auto windows = Desktop::pobiWindows();
    EXPECT_EQ(
        std::count_if(windows.begin(), windows.end(), [](QRect r) { return r.width() <= 64; }), 1)
        << "the second process added no tray icon";
}

TEST(App, HotkeyTogglesThePopup) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());
    for (const char* expected : {"popup shown", "popup hidden", "popup shown"}) {
        const int before = pobi.trace().size();
        QThread::msleep(300);
        key("ctrl+alt+t");
        ASSERT_TRUE(pobi.waitForTrace(QLatin1String(expected), 3000, before))
            << expected << pobi.stderrText().toStdString();
    }
}

TEST(App, FirstLaunchGreetsOnceAndRemembersIt) {
    REQUIRE_DESKTOP();
    PobiProcess pobi(/*firstLaunch=*/true);
    ASSERT_TRUE(pobi.start());
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 5000));
    pobi.stop();
    EXPECT_TRUE(QSettings(pobi.settingsFile(), QSettings::IniFormat).value("hasLaunched").toBool());

    const int before = pobi.trace().size();
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());
    EXPECT_FALSE(pobi.waitForTrace(QStringLiteral("popup shown"), 1500, before));
}

} // namespace
