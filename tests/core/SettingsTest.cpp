#include "Settings.h"

#include "FakeLoginItem.h"
#include "LogCapture.h"
#include "TestDirs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void writeIni(const QString& path, const QByteArray& body) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + body);
}

} // namespace

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

struct StoredCase {
    const char* ini;
    int every;
    double rate;
    bool muted;
    bool onEnd;
    int countdown;
    Tone tone;
};

TEST(Settings, StoredValuesLoadCleanlyOrFallBack) {
    const StoredCase cases[] = {
        {"", 5, 1.0, false, true, 5, Tone::Calm},
        {"every=abc\nrate=x\nmuted=maybe\nonEnd=yes\n", 5, 1.0, false, true, 5, Tone::Calm},
        {"every=12\nrate=0.75\nmuted=true\nonEnd=false\n", 12, 0.75, true, false, 5, Tone::Calm},
        {"every=5.5\nrate=inf\nmuted=1\nonEnd=0\n", 5, 1.0, true, false, 5, Tone::Calm},
        {"every=99999999999\nrate=nan\nmuted=TRUE\n", 5, 1.0, false, true, 5, Tone::Calm},
        {"every=3, 4\n", 5, 1.0, false, true, 5, Tone::Calm},
        // The old on/off countdown: off means no count, on (or missing) a count from 5.
        {"countdown=false\n", 5, 1.0, false, true, 0, Tone::Calm},
        {"countdown=false\ncountdownFrom=3\n", 5, 1.0, false, true, 3, Tone::Calm},
        {"countdown=false\ncountdownFrom=three\n", 5, 1.0, false, true, 0, Tone::Calm},
        {"countdown=maybe\n", 5, 1.0, false, true, 5, Tone::Calm},
        {"tone=coach\n", 5, 1.0, false, true, 5, Tone::Coach},
        {"tone=Coach\n", 5, 1.0, false, true, 5, Tone::Calm}};
    for (const StoredCase& c : cases) {
        TestDirs dirs;
        writeIni(dirs.settingsFile(), c.ini);
        Settings s(dirs.settingsFile());
        EXPECT_EQ(s.every(), c.every) << c.ini;
        EXPECT_EQ(s.rate(), c.rate) << c.ini;
        EXPECT_EQ(s.muted(), c.muted) << c.ini;
        EXPECT_EQ(s.onEnd(), c.onEnd) << c.ini;
        EXPECT_EQ(s.countdown(), c.countdown) << c.ini;
        EXPECT_EQ(s.tone(), c.tone) << c.ini;
    }
}

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
    // Read from the disk itself, not through QSettings' cache: a kill right after a change keeps
    // it.
    QObject::connect(&s, &Settings::everyChanged, [&](int v) {
        QFile file(dirs.settingsFile());
        const bool stored = file.open(QIODevice::ReadOnly) && file.readAll().contains("every=2\n");
        events << QStringLiteral("every %1 on disk %2").arg(v).arg(stored);
    });
    s.setEvery(2);
    s.setEvery(2); // an equal value still writes and notifies
    EXPECT_EQ(events, (QStringList{"changed every=2", "every 2 on disk 1", "changed every=2",
                                   "every 2 on disk 1"}));
}

struct RememberCase {
    QStringList before;
    QString text;
    QStringList after;
};

TEST(Settings, RememberPutsTheEntryFirst) {
    const RememberCase cases[] = {
        {{"10m", "Tea", "5m"}, "  tea  ", {"tea", "10m", "5m"}},
        {{"10m", "5m", "1h", "pasta"}, "tea", {"tea", "10m", "5m", "1h"}},
        {{"10m", "5m", "1h", "pasta"}, "PASTA", {"PASTA", "10m", "5m", "1h"}},
        {{}, "\t25m\u00a0", {"25m"}},
        {{"a"}, "b\n", {"b\n", "a"}}, // line breaks are not trimmed
        {{"a"}, " \t \u2003", {"a"}},
        {{"a"}, "25m " + QString(117, u'w'), {"a"}}, // a paste is not kept
        {{"\u00e9t\u00e9", "a"}, "\u00c9t\u00c9", {"\u00c9t\u00c9", "a"}}};
    for (const RememberCase& c : cases) {
        TestDirs dirs;
        Settings s(dirs.settingsFile());
        s.setRecents(c.before);
        s.remember(c.text);
        EXPECT_EQ(s.recents(), c.after) << c.text.toStdString();
        EXPECT_EQ(Settings(dirs.settingsFile()).recents(), c.after) << c.text.toStdString();
    }
}

TEST(Settings, LaunchAtLoginGoesToTheLoginServiceNotTheFile) {
    TestDirs dirs;
    FakeLoginItem login;
    Settings s(dirs.settingsFile(), &login);
    s.setLaunchAtLogin(true);
    EXPECT_TRUE(s.launchAtLogin());
    EXPECT_FALSE(QSettings(dirs.settingsFile(), QSettings::IniFormat)
                     .contains(QStringLiteral("launchAtLogin")));

    Settings without(dirs.settingsFile());
    LogCapture log;
    without.setLaunchAtLogin(true);
    EXPECT_FALSE(without.launchAtLogin());
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages()[0].startsWith(QStringLiteral("Pobi: launch at login failed: ")));
}

// A file that cannot be written (a file where its folder goes, a folder where it goes) loses
// nothing from memory and is told once per cause; once the obstacle is gone, the next change
// writes everything.
TEST(Settings, AnUnwritableFileIsLoggedOncePerCause) {
    for (const char* obstacle : {"blocked", "blocked/pobi.ini"}) {
        TestDirs dirs;
        const QString path = dirs.file(QStringLiteral("blocked/pobi.ini")),
                      in = dirs.file(obstacle);
        ASSERT_TRUE(path == in ? QDir().mkpath(in) : QFile(in).open(QIODevice::WriteOnly));
        LogCapture log;
        Settings s(path);
        s.setEvery(3);
        s.setTone(Tone::Coach);
        ASSERT_EQ(log.messages().size(), 1) << obstacle;
        EXPECT_TRUE(log.messages()[0].startsWith("Pobi: settings not saved: " + path + ": "));
        ASSERT_TRUE(path == in ? QDir().rmdir(in) : QFile::remove(in));
        s.setHalfway(false);
        EXPECT_EQ(log.messages().size(), 1);
        EXPECT_EQ(Settings(path).tone(), Tone::Coach);
    }
}
