#include "MonitorRecorder.h"
#include "PobiProcess.h"
#include "Spin.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <algorithm>
#include <csignal>
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

// The tray's side of the StatusNotifierItem protocol, which is also its own host (as a panel is).
class TrayWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems MEMBER items)
public:
    bool hostRegistered() const { return true; }
    QStringList items;
public slots:
    void RegisterStatusNotifierItem(const QString& service) { items << service; }
};

// The snapshot draws off screen, even where the named platform cannot start. The dark one runs
// a stopwatch, whose Lap, Pause and Stop row makes it taller, and leaves the stored mode alone.
TEST(Snapshot, WritesExactlyTwoPngs340WideInLightAndDark) {
    QTemporaryDir dir;
    PobiProcess pobi;
    pobi.platform = QStringLiteral("xcb");
    int cornerGray[2] = {}, height[2] = {};
    for (bool dark : {false, true}) {
        const QString out = dir.filePath(dark ? QStringLiteral("dark") : QStringLiteral("light"));
        const QStringList args =
            dark ? QStringList{"--dark", "--snapshot", out, "sw"} : QStringList{"--snapshot", out};
        ASSERT_EQ(pobi.runAnother(args, 20000), 0);
        const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(files, (QStringList{"popover.png", "settings.png"}));
        for (const QString& name : files) {
            const QImage image(QDir(out).filePath(name));
            EXPECT_EQ(image.width(), 340) << name.toStdString();
            EXPECT_GT(image.height(), 100) << name.toStdString();
        }
        const QImage popover(QDir(out).filePath("popover.png"));
        cornerGray[dark] = qGray(popover.pixel(4, 4));
        height[dark] = popover.height();
    }
    EXPECT_GT(cornerGray[0], 160) << "light background";
    EXPECT_LT(cornerGray[1], 100) << "dark background";
    EXPECT_GT(height[1], height[0]);
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

// The command line is read before anything starts, so none of these needs a display. What
// cannot be written is told; only the icon export still exits 0.
TEST(CommandLine, AnswersAndMistakesEndAtOnce) {
    const struct {
        QStringList args;
        int code;
        const char *out, *err;
    } cases[] = {
        {{"--help"}, 0, "--render-mobile-icons <DIR>", ""},
        {{"--version"}, 0, "pobi " POBI_VERSION "\n", ""},
        {{"--bogus"}, 2, "", "Usage: pobi [options]"},
        {{"--render-icon"}, 2, "", "--render-icon"},
        {{"25m"}, 2, "", "'25m'"},
        {{"--snapshot", "/proc/pobi"}, 1, "", "Pobi: snapshot not saved: /proc/pobi/"},
        {{"--render-icon", "/proc/pobi"}, 0, "", "Pobi: icons not written: /proc/pobi"},
    };
    PobiProcess pobi;
    pobi.platform = QStringLiteral("xcb");
    for (const auto& c : cases) {
        QByteArray out, err;
        EXPECT_EQ(pobi.runAnother(c.args, 20000, &out, &err), c.code) << err.toStdString();
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    }
}

// Starts at the same instant leave one Pobi, which takes every other start's request (its popup
// opens, and a later --toggle closes it); a signal to end it then quits it as "Quit Pobi" would,
// taking its socket along.
TEST(App, ConcurrentStartsLeaveOnePobiWhichSignalsQuitCleanly) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        PobiProcess pobi;
        pobi.platform = QString();
        QProcess starts[10];
        for (QProcess& p : starts) {
            p.setProcessEnvironment(pobi.environment());
            p.start(QStringLiteral(POBI_EXE), {});
        }
        auto running = [&] {
            return std::count_if(std::begin(starts), std::end(starts), [](const QProcess& p) {
                return p.state() != QProcess::NotRunning;
            });
        };
        ASSERT_TRUE(spinUntil([&] { return running() <= 1; }, 60000)) << running() << " left";
        ASSERT_EQ(running(), 1);
        QProcess* survivor = nullptr;
        for (QProcess& p : starts) {
            if (p.state() != QProcess::NotRunning)
                survivor = &p;
            else
                EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
        QByteArray trace = survivor->readAllStandardError();
        EXPECT_TRUE(trace.contains("popup shown")) << trace.toStdString();
        EXPECT_EQ(pobi.runAnother({QStringLiteral("--toggle")}, 20000), 0);
        EXPECT_TRUE(spinUntil(
            [&] { return (trace += survivor->readAllStandardError()).contains("popup hidden"); }));
        const QString socket = QDir(pobi.runtimeDir()).filePath(QStringLiteral("pobi.sock"));
        EXPECT_TRUE(QFile::exists(socket));
        ::kill(static_cast<pid_t>(survivor->processId()), signal);
        ASSERT_TRUE(survivor->waitForFinished(20000));
        EXPECT_EQ(survivor->exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(survivor->exitCode(), 0);
        EXPECT_FALSE(QFile::exists(socket)) << signal;
    }
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

// Killed in the middle of a timer, Pobi comes back with it still running and no time lost; the
// hotkey opens and closes the popup of each.
TEST(App, ATimerRunsOnAfterPobiIsKilledAndStartedAgainAndTheHotkeyTogglesThePopup) {
    REQUIRE_DESKTOP();
    PobiProcess pobi;
    int started = 0; // the trace line where the running pobi began
    const auto toggle = [&](const char* expected) {
        const int from = pobi.trace().size();
        ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("(Ctrl+Alt+T)"), 10000, started)); // ours
        key("ctrl+alt+t");
        ASSERT_TRUE(pobi.waitForTrace(QLatin1String(expected), 3000, from)) << expected;
    };
    ASSERT_TRUE(pobi.start());
    toggle("popup shown");
    QThread::msleep(300); // the page takes the focus one turn after opening
    Desktop::xdotool({"type", "--delay", "40", "2m tea"});
    key("Return");
    const auto secondsLeft = [&](const QString& text, int from) { // on the tray's title
        const auto at = pobi.waitForTrace(text, 10000, from);
        const QString shown = at ? pobi.trace().at(*at).section(u'"', 1, 1).trimmed() : QString();
        return QTime::fromString(shown, QStringLiteral("mm:ss")).msecsSinceStartOfDay() / 1000;
    };
    const int before = secondsLeft(QStringLiteral("title \" 01:"), 0);
    ASSERT_GT(before, 0) << pobi.stderrText().toStdString();
    QElapsedTimer away;
    away.start();
    pobi.kill();
    started = pobi.trace().size();
    ASSERT_TRUE(pobi.start());
    const int after = secondsLeft(QStringLiteral("title \""), started); // its first title
    EXPECT_LE(after, before);
    EXPECT_GE(after, before - 2 - int(away.elapsed() / 1000)) << pobi.stderrText().toStdString();
    toggle("popup shown");
    toggle("popup hidden");
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

// The first launch finds control-alt-T held by another program: nothing promises it, and the
// greeting names the command to bind instead. The next launch has the key and does not greet.
TEST(App, FirstLaunchGreetsOnceAndRemembersItPromisingOnlyAHotkeyItHas) {
    REQUIRE_DESKTOP();
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    holder.setProcessEnvironment(env);
    holder.start(QStringLiteral(POBI_HOTKEY_PROBE), {});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_TRUE(holder.readAllStandardOutput().startsWith("status x11"));
    PobiProcess pobi(/*firstLaunch=*/true);
    ASSERT_TRUE(pobi.start());
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 5000));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("tooltip \"Pobi\""), 100));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("or bind a shortcut to pobi --toggle,"), 100));
    pobi.stop();
    holder.kill();
    holder.waitForFinished(3000);
    EXPECT_TRUE(QSettings(pobi.settingsFile(), QSettings::IniFormat).value("hasLaunched").toBool());

    const int before = pobi.trace().size();
    ASSERT_TRUE(pobi.start());
    ASSERT_TRUE(Desktop::trayIcon(10000).has_value());
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("tooltip \"Pobi (Ctrl+Alt+T)\""), 100, before));
    EXPECT_FALSE(pobi.waitForTrace(QStringLiteral("popup shown"), 1500, before));
}

// A display with no tray at all: starting Pobi must show a window a user can find and move (not
// an override-redirect popup).
TEST(App, WithoutATrayStartingShowsAMovableWindowTitledPobi) {
    REQUIRE_DESKTOP();
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForReadyRead(10000));
    const QByteArray shared = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":" + xvfb.readLine().trimmed());
    const auto window = [] {
        QProcess p;
        p.start(QStringLiteral("sh"), {"-c", "for w in $(xdotool search --onlyvisible --name "
                                             "'^Pobi$'); do xwininfo -id $w; done"});
        p.waitForFinished(5000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    EXPECT_TRUE(spinUntil([&] { return window().contains("Override Redirect State: no"); }, 10000))
        << pobi.stderrText().toStdString();
    pobi.stop();
    qputenv("DISPLAY", shared);
    xvfb.terminate();
    xvfb.waitForFinished(3000);
}

// Under scripts/plasma-session: KWin's kglobalaccel and the KDE desktop portal are real.
TEST(PlasmaSession, HotkeyBindsThroughThePortalAndTogglesThePopupAndTheTrayRegisters) {
    if (qEnvironmentVariableIsEmpty("POBI_PLASMA_SESSION"))
        GTEST_SKIP() << "runs inside scripts/plasma-session (scripts/install-deps --plasma)";
    QDBusConnection bus = QDBusConnection::sessionBus();
    TrayWatcher watcher;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllContents));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    QDBusInterface component(QStringLiteral("org.kde.kglobalaccel"),
                             QStringLiteral("/component/pobi"),
                             QStringLiteral("org.kde.kglobalaccel.Component"), bus);
    const auto bound = [&] {
        pobi.trace();
        const QDBusReply<QStringList> names = component.call(QStringLiteral("shortcutNames"));
        return names.isValid() && names.value().contains(QStringLiteral("toggle-popover"));
    };
    ASSERT_TRUE(spinUntil(bound, 20000)) << pobi.stderrText().toStdString();
    EXPECT_TRUE(spinUntil([&] {
        pobi.trace();
        return !watcher.items.isEmpty();
    })) << "no tray item registered"
        << pobi.stderrText().toStdString();
    // What a press of the bound key does, without a keyboard.
    for (const char* expected : {"popup shown", "popup hidden"}) {
        const int before = pobi.trace().size();
        component.call(QStringLiteral("invokeShortcut"), QStringLiteral("toggle-popover"));
        ASSERT_TRUE(pobi.waitForTrace(QLatin1String(expected), 5000, before))
            << expected << pobi.stderrText().toStdString();
    }
}

} // namespace

#include "AppTest.moc"
