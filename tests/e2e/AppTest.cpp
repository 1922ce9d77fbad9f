#include "MonitorRecorder.h"
#include "PobiProcess.h"

#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QSettings>
#include <QtCore/qtestsupport_core.h>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

#define REQUIRE_DESKTOP()                                                                          \
    if (qEnvironmentVariableIsEmpty("POBI_TEST_DISPLAY"))                                          \
    GTEST_SKIP() << "needs the private X server, sound and speech of scripts/test"

// Typing goes to the window that has the keyboard: the popup (340 wide), once it holds it.
bool popupHasKeyboard() {
    const QString shell = xdotool({"getwindowfocus", "getwindowgeometry", "--shell"});
    return shell.section(QStringLiteral("WIDTH="), 1).section(u'\n', 0, 0).toInt() >= 300;
}

// Types a line into the popup and enters it.
void type(const char* line) {
    xdotool({"type", "--delay", "40", QLatin1String(line)});
    xdotool({"key", "Return"});
}

// The command line is read before anything starts, so none of these needs a display; the
// pictures are drawn off screen, even where the named platform cannot start. What cannot be
// written is told; only the icon export still exits 0. An export makes its folder, and a second
// one into it succeeds again. Which files at which sizes is the renderer's own list: one of each
// is checked here. The dark snapshot runs a stopwatch, and leaves the stored mode alone.
TEST(CommandLine, AnswersMistakesAndPicturesEndAtOnce) {
    QTemporaryDir dir;
    const QString icons = dir.filePath(QStringLiteral("deep/er/icons"));
    const QString mobile = dir.filePath(QStringLiteral("mobile"));
    const struct {
        QStringList args;
        int code;
        const char *out, *err;
    } cases[] = {
        {{"--help"}, 0, "--render-mobile-icons <DIR>", ""},
        {{"--version"}, 0, "pobi " POBI_VERSION "\n", ""},
        {{"--bogus"}, 2, "", "Usage: pobi [options]"},
        {{"--render-icon"}, 2, "", "--render-icon"},
        {{"--toggle", "25m"}, 2, "", "'25m'"},
        {{"--json"}, 2, "", "--json goes with --status"},
        {{"--snapshot", "/proc/pobi"}, 1, "", "Pobi: snapshot not saved: /proc/pobi/"},
        {{"--render-icon", "/proc/pobi"}, 0, "", "Pobi: icons not written: /proc/pobi"},
        {{"--dark", "--snapshot", dir.path(), "sw"}, 0, "", ""},
        {{"--render-icon", icons}, 0, "", ""},
        {{"--render-icon", icons}, 0, "", ""},
        {{"--render-mobile-icons", mobile}, 0, "", ""},
    };
    PobiProcess pobi;
    pobi.platform = QStringLiteral("xcb");
    for (const auto& c : cases) {
        QByteArray out, err;
        EXPECT_EQ(pobi.runAnother(c.args, 60000, &out, &err), c.code) << err.toStdString();
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"popover.png", "settings.png"}));
    EXPECT_LT(qGray(QImage(dir.filePath(QStringLiteral("popover.png"))).pixel(4, 4)), 100);
    const QSettings stored(pobi.settingsFile(), QSettings::IniFormat);
    EXPECT_NE(stored.value(QStringLiteral("mode")).toString(), QStringLiteral("stopwatch"));
    EXPECT_EQ(QDir(icons).entryList(QDir::Files).size(), 10);
    EXPECT_EQ(QImage(icons + QStringLiteral("/icon_16x16@2x.png")).size(), QSize(32, 32));
    EXPECT_EQ(QDir(mobile).entryList(QDir::Files).size(), 5);
    EXPECT_EQ(QImage(mobile + QStringLiteral("/mascot.png")).size(), QSize(512, 512));
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
        const auto running = [](const QProcess& p) { return p.state() != QProcess::NotRunning; };
        const auto left = [&] {
            return std::count_if(std::begin(starts), std::end(starts), running);
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return left() <= 1; }, 60000)) << left() << " left";
        QProcess* survivor = std::find_if(std::begin(starts), std::end(starts), running);
        ASSERT_NE(survivor, std::end(starts));
        for (QProcess& p : starts) // each of the others handed its request over and left
            EXPECT_EQ(&p == survivor ? 0 : p.exitCode(), 0)
                << p.readAllStandardError().toStdString();
        QByteArray trace;
        const auto traced = [&](const char* line) {
            return QTest::qWaitFor(
                [&] { return (trace += survivor->readAllStandardError()).contains(line); }, 20000);
        };
        EXPECT_TRUE(traced("popup shown")) << trace.toStdString();
        EXPECT_EQ(pobi.runAnother({QStringLiteral("--toggle")}, 20000), 0);
        EXPECT_TRUE(traced("popup hidden")) << trace.toStdString();
        const QString socket = QDir(pobi.runtimeDir()).filePath(QStringLiteral("pobi.sock"));
        EXPECT_TRUE(QFile::exists(socket));
        ::kill(static_cast<pid_t>(survivor->processId()), signal);
        ASSERT_TRUE(survivor->waitForFinished(20000));
        EXPECT_EQ(survivor->exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(survivor->exitCode(), 0);
        EXPECT_FALSE(QFile::exists(socket)) << signal;
    }
}

// One user's day, on one pair of starts. A line from the shell with no Pobi running starts none.
// The first launch finds control-alt-T held by another program: nothing promises it, and the
// greeting names the command to bind instead. Killed in the middle of a timer typed into that
// greeting, Pobi comes back with the timer running and no time lost, does not greet again, and
// now has the key: it opens the popup and closes it again, and nothing else does. From the shell,
// a line runs as if typed in the popup and the answer comes back on one line; a rejected line
// changes nothing; the status reads what runs. Last, a timer typed after a tray click is spoken,
// and ends with the chime and then the end line, timed on the recording's own clock.
TEST(App, ADayWithPobiFromTheFirstLaunchToTheChime) {
    REQUIRE_DESKTOP();
    PobiProcess pobi(/*firstLaunch=*/true);
    QByteArray out, err;
    const auto run = [&](const QStringList& args) {
        return pobi.runAnother(args, 20000, &out, &err);
    };
    EXPECT_EQ(run({"nonsense", "words"}), 2);
    EXPECT_EQ(run({"--status"}), 1) << "a rejected line started a Pobi";

    const auto secondsLeft = [&] { // on the timer of the running Pobi, once it answers
        const auto running = [&] {
            return run({"--status", "--json"}) == 0 && out.contains("running");
        };
        (void)QTest::qWaitFor(running, 20000);
        return QJsonDocument::fromJson(out)["remaining"].toInt(-1);
    };
    QProcess holder;
    holder.start(QStringLiteral("env"), {"QT_QPA_PLATFORM=xcb", POBI_HOTKEY_PROBE});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_TRUE(holder.readAllStandardOutput().startsWith("status x11"));
    ASSERT_TRUE(pobi.start());
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 20000));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("or bind a shortcut to pobi --toggle,"), 20000));
    EXPECT_TRUE(pobi.waitForTrace(QStringLiteral("help \"Bind a shortcut to: pobi"), 20000));
    ASSERT_TRUE(QTest::qWaitFor(popupHasKeyboard, 20000));
    type("2m tea");
    const int before = secondsLeft();
    ASSERT_GT(before, 60) << pobi.stderrText().toStdString();
    QElapsedTimer away;
    away.start();
    pobi.kill();
    holder.kill();
    holder.waitForFinished(3000);

    const int started = pobi.trace().size();
    ASSERT_TRUE(pobi.start());
    const int after = secondsLeft();
    EXPECT_LE(after, before);
    EXPECT_GE(after, before - 2 - int(away.elapsed() / 1000)) << pobi.stderrText().toStdString();
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("(Ctrl+Alt+T)"), 20000, started));
    for (const char* expected : {"popup shown", "popup hidden"}) {
        const int at = pobi.trace().size();
        xdotool({"key", "ctrl+alt+t"});
        ASSERT_TRUE(pobi.waitForTrace(QLatin1String(expected), 20000, at)) << expected;
    }
    EXPECT_EQ(pobi.trace().mid(started).filter(QStringLiteral("popup ")),
              (QStringList{"pobi.tray: popup shown", "pobi.tray: popup hidden"}));

    for (const QStringList& rejected :
         {QStringList{"nonsense", "words"}, QStringList{"--", "-5m"}}) {
        EXPECT_EQ(run(rejected), 2) << rejected.join(' ').toStdString();
        EXPECT_TRUE(out.isEmpty() && err.startsWith("pobi: ") && err.count('\n') == 1)
            << err.toStdString();
    }
    EXPECT_GT(secondsLeft(), 0) << "a rejected line changed what runs";
    ASSERT_EQ(run({"10s", "tea"}), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("Timer 00:10") && out.contains("Tea") && out.count('\n') == 1)
        << out.toStdString();
    EXPECT_EQ(run({"--quiet", "stop"}), 0) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(run({"--status"}), 0);
    EXPECT_EQ(out, "idle\n");

    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.start());
    const int clicked = pobi.trace().size();
    // With the popup closed, Pobi's one visible window is its icon, once the tray holds it.
    xdotool({"search", "--sync", "--onlyvisible", "--classname", "^pobi$", "mousemove", "--window",
             "%1", "8", "8", "click", "1"});
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 20000, clicked));
    ASSERT_TRUE(QTest::qWaitFor(popupHasKeyboard, 20000));
    type("5s tea");
    const int returnAt = recorder.recordedMs();
    // The tray shows the time left (a busy machine may first show it a second on), and the popup
    // closes.
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("title \" 00:0"), 20000, clicked));
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup hidden"), 20000, clicked));
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("title \" Done\""), 20000, clicked));
    const int doneAt = recorder.recordedMs();
    recorder.stop(doneAt + 1500); // the end line follows the chime
    // The start line is spoken, the chime (its 1318.5 Hz partial) sounds when the timer ends, and
    // the end line is spoken after it (how long after is the timer's own test's).
    const auto speech = recorder.lowBandSounds(0.01);
    ASSERT_GE(speech.size(), 2);
    EXPECT_GT(speech.first().beginMs, returnAt - 100);
    EXPECT_LT(speech.first().beginMs, returnAt + 2500);
    const int chime = recorder.toneOnsetMs(1318.5, 0.05);
    EXPECT_NEAR(chime, doneAt, 600);
    EXPECT_GT(speech.last().beginMs, chime);
}

// A display with no tray at all: starting Pobi must show a window a user can find and move (not
// an override-redirect popup).
TEST(App, WithoutATrayStartingShowsAMovableWindowTitledPobi) {
    REQUIRE_DESKTOP();
    QProcess xvfb;
    // A display number of its own: the first free one by lock file may still be taken on the
    // machine's shared abstract socket namespace by another test run's server.
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(200 + ::getpid() % 5000),
                                        "-displayfd", "1", "-nolisten", "tcp"});
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
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window().contains("Override Redirect State: no"); }, 30000))
        << pobi.stderrText().toStdString();
    pobi.stop();
    qputenv("DISPLAY", shared);
    xvfb.terminate();
    xvfb.waitForFinished(3000);
}

// Under scripts/plasma-session: KWin's kglobalaccel and the KDE desktop portal are real.
TEST(PlasmaSession, HotkeyBindsThroughThePortalAndTogglesThePopup) {
    if (qEnvironmentVariableIsEmpty("POBI_PLASMA_SESSION"))
        GTEST_SKIP() << "runs inside scripts/plasma-session (scripts/install-deps --plasma)";
    PobiProcess pobi;
    ASSERT_TRUE(pobi.start());
    QDBusInterface component(QStringLiteral("org.kde.kglobalaccel"),
                             QStringLiteral("/component/pobi"),
                             QStringLiteral("org.kde.kglobalaccel.Component"));
    const auto bound = [&] {
        pobi.trace();
        const QDBusReply<QStringList> names = component.call(QStringLiteral("shortcutNames"));
        return names.isValid() && names.value().contains(QStringLiteral("toggle-popover"));
    };
    ASSERT_TRUE(QTest::qWaitFor(bound, 20000)) << pobi.stderrText().toStdString();
    // With no panel to hold a tray, the popup opens as a window at the start; what a press of the
    // bound key does then, without a keyboard.
    ASSERT_TRUE(pobi.waitForTrace(QStringLiteral("popup shown"), 20000));
    for (const char* expected : {"popup hidden", "popup shown"}) {
        const int before = pobi.trace().size();
        component.call(QStringLiteral("invokeShortcut"), QStringLiteral("toggle-popover"));
        ASSERT_TRUE(pobi.waitForTrace(QLatin1String(expected), 20000, before))
            << expected << pobi.stderrText().toStdString();
    }
}

} // namespace
