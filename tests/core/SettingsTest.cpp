#include "Settings.h"

#include "FakeLoginItem.h"
#include "LogCapture.h"
#include "TestDirs.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void writeIni(const QString& path, const QByteArray& body) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + body);
}

// When this test program is started with POBI_KILL_CHILD set, it does not run the tests: it
// assigns a few settings in that file, says "ready" and waits to be killed.
[[maybe_unused]] const bool childMode = [] {
    const char* path = std::getenv("POBI_KILL_CHILD");
    if (!path)
        return false;
    Settings settings(QString::fromLocal8Bit(path));
    settings.setEvery(17);
    settings.setTone(Tone::Coach);
    settings.remember(QStringLiteral("25m pasta"));
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    std::_Exit(3);
}();

} // namespace

TEST(Settings, LoadingAFreshStoreWritesNothing) {
    TestDirs dirs;
    Settings s(dirs.settingsFile());
    EXPECT_TRUE(s.onStart() && s.halfway() && s.lastMinute() && s.onEnd() && s.chime());
    EXPECT_EQ(s.mode(), QStringLiteral("timer"));
    EXPECT_FALSE(QFile::exists(dirs.settingsFile()));
}

TEST(Settings, ValuesSurviveReopening) {
    TestDirs dirs;
    const QStringList recents{QStringLiteral("1:30, pasta"), QStringLiteral("@at 3pm"),
                              QStringLiteral("Tea \"x\"")};
    {
        Settings s(dirs.settingsFile());
        s.setVoiceID(QStringLiteral("espeak-ng:en, gb"));
        s.setRate(3.0); // no clamping
        s.setTone(Tone::Cheery);
        s.setEvery(0);
        s.setCountdown(12);
        s.setEndMessage(QStringLiteral("Pour it; now = done"));
        s.setHalfway(false);
        s.setRecents(recents);
    }
    Settings s(dirs.settingsFile());
    EXPECT_EQ(s.voiceID(), QStringLiteral("espeak-ng:en, gb"));
    EXPECT_EQ(s.rate(), 3.0);
    EXPECT_EQ(s.tone(), Tone::Cheery);
    EXPECT_EQ(s.every(), 0);
    EXPECT_EQ(s.countdown(), 12);
    EXPECT_EQ(s.endMessage(), QStringLiteral("Pour it; now = done"));
    EXPECT_FALSE(s.halfway());
    EXPECT_EQ(s.recents(), recents);
    QSettings raw(dirs.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("tone")).toString(), QStringLiteral("cheery"));
    EXPECT_EQ(raw.value(QStringLiteral("countdownFrom")).toInt(), 12);
    EXPECT_FALSE(raw.contains(QStringLiteral("countdown")));
}

TEST(Settings, RecentsOfOneOrNoEntriesSurviveReopening) {
    for (const QStringList& list :
         {QStringList{}, QStringList{QStringLiteral("tea")}, QStringList{QString()}}) {
        TestDirs dirs;
        Settings(dirs.settingsFile()).setRecents(list);
        EXPECT_EQ(Settings(dirs.settingsFile()).recents(), list);
    }
}

struct StoredCase {
    const char* ini;
    int every;
    double rate;
    bool muted;
    bool onEnd;
    int countdown;
    Tone tone;
};

class StoredValues : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredValues, LoadCleanlyOrFallBack) {
    const StoredCase& c = GetParam();
    TestDirs dirs;
    writeIni(dirs.settingsFile(), c.ini);
    Settings s(dirs.settingsFile());
    EXPECT_EQ(s.every(), c.every);
    EXPECT_EQ(s.rate(), c.rate);
    EXPECT_EQ(s.muted(), c.muted);
    EXPECT_EQ(s.onEnd(), c.onEnd);
    EXPECT_EQ(s.countdown(), c.countdown);
    EXPECT_EQ(s.tone(), c.tone);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StoredValues,
    ::testing::Values(
        StoredCase{"", 5, 1.0, false, true, 5, Tone::Calm},
        StoredCase{"every=abc\nrate=x\nmuted=maybe\nonEnd=yes\n", 5, 1.0, false, true, 5,
                   Tone::Calm},
        StoredCase{"every=12\nrate=0.75\nmuted=true\nonEnd=false\n", 12, 0.75, true, false, 5,
                   Tone::Calm},
        StoredCase{"every=5.5\nrate=inf\nmuted=1\nonEnd=0\n", 5, 1.0, true, false, 5, Tone::Calm},
        StoredCase{"every=99999999999\nrate=nan\nmuted=TRUE\n", 5, 1.0, false, true, 5, Tone::Calm},
        StoredCase{"every=3, 4\n", 5, 1.0, false, true, 5, Tone::Calm},
        // The old on/off countdown: off means no count, on (or missing) a count from 5.
        StoredCase{"countdown=false\n", 5, 1.0, false, true, 0, Tone::Calm},
        StoredCase{"countdown=false\ncountdownFrom=3\n", 5, 1.0, false, true, 3, Tone::Calm},
        StoredCase{"countdown=false\ncountdownFrom=three\n", 5, 1.0, false, true, 0, Tone::Calm},
        StoredCase{"countdown=maybe\n", 5, 1.0, false, true, 5, Tone::Calm},
        StoredCase{"tone=coach\n", 5, 1.0, false, true, 5, Tone::Coach},
        StoredCase{"tone=Coach\n", 5, 1.0, false, true, 5, Tone::Calm}));

TEST(Settings, MigrationWritesOnlyOnAssignment) {
    TestDirs dirs;
    writeIni(dirs.settingsFile(), "countdown=false\n");
    {
        Settings s(dirs.settingsFile());
        EXPECT_EQ(s.countdown(), 0);
        QSettings raw(dirs.settingsFile(), QSettings::IniFormat);
        EXPECT_FALSE(raw.contains(QStringLiteral("countdownFrom")));
        s.setCountdown(7);
    }
    QSettings raw(dirs.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("countdownFrom")).toInt(), 7);
    EXPECT_EQ(raw.value(QStringLiteral("countdown")).toString(), QStringLiteral("false"));
}

TEST(Settings, AssignmentStoresThenAnnouncesWholeObjectThenProperty) {
    TestDirs dirs;
    Settings s(dirs.settingsFile());
    QStringList events;
    QObject::connect(&s, &Settings::changed,
                     [&] { events << QStringLiteral("changed every=%1").arg(s.every()); });
    QObject::connect(&s, &Settings::everyChanged, [&](int v) {
        QSettings raw(dirs.settingsFile(), QSettings::IniFormat);
        events << QStringLiteral("every %1 on disk %2").arg(v).arg(raw.value("every").toInt());
    });
    s.setEvery(2);
    s.setEvery(2); // an equal value still writes and notifies
    EXPECT_EQ(events, (QStringList{"changed every=2", "every 2 on disk 2", "changed every=2",
                                   "every 2 on disk 2"}));
}

TEST(Settings, AChangeSurvivesAKillRightAfterIt) {
    TestDirs dirs;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("POBI_KILL_CHILD"), dirs.settingsFile());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_list_tests")});
    ASSERT_TRUE(child.waitForStarted(10000));
    while (!child.canReadLine() && child.waitForReadyRead(10000)) {
    }
    ASSERT_EQ(child.readLine(), QByteArray("ready\n"));
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    Settings s(dirs.settingsFile());
    EXPECT_EQ(s.every(), 17);
    EXPECT_EQ(s.tone(), Tone::Coach);
    EXPECT_EQ(s.recents(), QStringList{QStringLiteral("25m pasta")});
}

struct RememberCase {
    QStringList before;
    QString text;
    QStringList after;
};

class Remember : public ::testing::TestWithParam<RememberCase> {};

TEST_P(Remember, PutsTheEntryFirst) {
    const RememberCase& c = GetParam();
    TestDirs dirs;
    {
        Settings s(dirs.settingsFile());
        s.setRecents(c.before);
        s.remember(c.text);
        EXPECT_EQ(s.recents(), c.after);
    }
    EXPECT_EQ(Settings(dirs.settingsFile()).recents(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Remember,
    ::testing::Values(
        RememberCase{{"10m", "Tea", "5m"}, "  tea  ", {"tea", "10m", "5m"}},
        RememberCase{{"10m", "5m", "1h", "pasta"}, "tea", {"tea", "10m", "5m", "1h"}},
        RememberCase{{"10m", "5m", "1h", "pasta"}, "PASTA", {"PASTA", "10m", "5m", "1h"}},
        RememberCase{{}, "\t25m\u00a0", {"25m"}},
        RememberCase{{"a"}, "b\n", {"b\n", "a"}},                // line breaks are not trimmed
        RememberCase{{"a"}, "25m " + QString(117, u'w'), {"a"}}, // a paste is not kept
        RememberCase{{"\u00e9t\u00e9", "a"}, "\u00c9t\u00c9", {"\u00c9t\u00c9", "a"}}));

TEST(Settings, RememberingBlankTextChangesAndWritesNothing) {
    TestDirs dirs;
    Settings s(dirs.settingsFile());
    int notified = 0;
    QObject::connect(&s, &Settings::changed, [&] { ++notified; });
    s.remember(QStringLiteral(" \t \u2003"));
    EXPECT_EQ(notified, 0);
    EXPECT_TRUE(s.recents().isEmpty());
    EXPECT_FALSE(QFile::exists(dirs.settingsFile()));
}

TEST(Settings, LaunchAtLoginGoesToTheLoginServiceNotTheFile) {
    TestDirs dirs;
    FakeLoginItem login;
    Settings s(dirs.settingsFile(), &login);
    s.setLaunchAtLogin(true);
    EXPECT_TRUE(s.launchAtLogin());
    s.setLaunchAtLogin(false);
    EXPECT_FALSE(s.launchAtLogin());
    EXPECT_FALSE(QSettings(dirs.settingsFile(), QSettings::IniFormat)
                     .contains(QStringLiteral("launchAtLogin")));

    Settings without(dirs.settingsFile());
    LogCapture log;
    without.setLaunchAtLogin(true);
    EXPECT_FALSE(without.launchAtLogin());
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages()[0].startsWith(QStringLiteral("Pobi: launch at login failed: ")));
}

TEST(Settings, DefaultFileFollowsXdgConfigHome) {
    TestDirs dirs;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dirs.path().toUtf8());
    EXPECT_EQ(Settings::defaultPath(), dirs.path() + QStringLiteral("/pobi/pobi.ini"));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}
