#include "core/settings/Settings.h"

#include "LogCapture.h"
#include "TestDirs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// A list whose entries hold the INI format's separators comes back as set; tone and mode are
// stored by the names every earlier version wrote.
TEST(Settings, ValuesSurviveReopening) {
    TestDirs dirs;
    const QStringList recents{"1:30, pasta", "@at 3pm", "Tea \"x\""};
    {
        Settings s(dirs.settingsFile());
        s.setTone(Tone::Cheery);
        s.setMode(Settings::Mode::Stopwatch);
        s.setRecents(recents);
    }
    Settings s(dirs.settingsFile());
    EXPECT_EQ(s.tone(), Tone::Cheery);
    EXPECT_EQ(s.mode(), Settings::Mode::Stopwatch);
    EXPECT_EQ(s.recents(), recents);
    QSettings raw(dirs.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("tone").toString(), "cheery");
    EXPECT_EQ(raw.value("mode").toString(), "stopwatch");
}

// Each row: the file, then every, rate, muted, onEnd, countdown, tone and mode as loaded.
TEST(Settings, StoredValuesLoadCleanlyOrFallBack) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "5 1 0 1 5 0 0"},
        {"every=abc\nrate=x\nmuted=maybe\nonEnd=yes\n", "5 1 0 1 5 0 0"},
        {"every=12\nrate=0.75\nmuted=true\nonEnd=false\n", "12 0.75 1 0 5 0 0"},
        {"every=5.5\nrate=inf\nmuted=1\nonEnd=0\n", "5 1 1 0 5 0 0"},
        {"every=99999999999\nrate=nan\nmuted=TRUE\n", "5 1 0 1 5 0 0"},
        // The old on/off countdown: off means no count, on (or missing) a count from 5.
        {"countdown=false\n", "5 1 0 1 0 0 0"},
        {"countdown=false\ncountdownFrom=3\n", "5 1 0 1 3 0 0"},
        {"countdown=false\ncountdownFrom=three\n", "5 1 0 1 0 0 0"},
        {"tone=coach\nmode=tempo\n", "5 1 0 1 5 2 2"},
        {"tone=Coach\nmode=Tempo\n", "5 1 0 1 5 0 0"}};
    for (const auto& [ini, expected] : cases) {
        TestDirs dirs;
        ASSERT_TRUE(TestDirs::write(dirs.settingsFile(), QByteArray("[General]\n") + ini));
        Settings s(dirs.settingsFile());
        EXPECT_EQ(QString::asprintf("%d %g %d %d %d %d %d", s.every(), s.rate(), s.muted(),
                                    s.onEnd(), s.countdown(), int(s.tone()), int(s.mode())),
                  expected)
            << ini;
        // A count assigned after the migration is kept.
        s.setCountdown(7);
        EXPECT_EQ(Settings(dirs.settingsFile()).countdown(), 7) << ini;
    }
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
        const bool stored = TestDirs::read(dirs.settingsFile()).contains("every=2\n");
        events << QStringLiteral("every %1 on disk %2").arg(v).arg(stored);
    });
    s.setEvery(2);
    s.setEvery(2); // an equal value still writes and notifies
    EXPECT_EQ(events, (QStringList{"changed every=2", "every 2 on disk 1", "changed every=2",
                                   "every 2 on disk 1"}));
}

TEST(Settings, RememberPutsTheEntryFirst) {
    const std::tuple<QStringList, QString, QStringList> cases[] = {
        {{"10m", "Tea", "5m"}, "  tea  ", {"tea", "10m", "5m"}},
        {{"10m", "5m", "1h", "pasta"}, "tea", {"tea", "10m", "5m", "1h"}},
        {{}, "\t25m\u00a0", {"25m"}},
        {{"a"}, " \t \u2003", {"a"}},
        {{"a"}, "25m " + QString(117, u'w'), {"a"}}, // a paste is not kept
        {{"\u00e9t\u00e9", "a"}, "\u00c9t\u00c9", {"\u00c9t\u00c9", "a"}}};
    for (const auto& [before, text, after] : cases) {
        TestDirs dirs;
        Settings s(dirs.settingsFile());
        s.setRecents(before);
        s.remember(text);
        EXPECT_EQ(s.recents(), after) << text.toStdString();
        EXPECT_EQ(Settings(dirs.settingsFile()).recents(), after) << text.toStdString();
    }
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
