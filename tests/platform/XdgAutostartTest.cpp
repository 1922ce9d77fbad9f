#include "xdg/XdgAutostart.h"

#include "LogCapture.h"
#include "TestDirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void write(const QString& path, const QByteArray& body) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(body);
}

QString execLine(const QString& desktopFile) {
    static const QRegularExpression exec(QStringLiteral("^Exec=(.*)$"),
                                         QRegularExpression::MultilineOption);
    return exec.match(read(desktopFile)).captured(1);
}

TEST(XdgAutostart, EnableWritesAnEntryForThisProgramAndDisableRemovesIt) {
    TestDirs dirs;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dirs.path().toUtf8());
    EXPECT_EQ(XdgAutostart().filePath(),
              dirs.path() + QStringLiteral("/autostart/" POBI_APP_ID ".desktop"));
    qputenv("XDG_CONFIG_HOME", saved);

    XdgAutostart item(dirs.file(QStringLiteral("autostart")));
    LogCapture log;
    EXPECT_FALSE(item.enabled());
    item.setEnabled(true); // the folder does not exist yet
    EXPECT_TRUE(item.enabled());
    const QString text = read(item.filePath());
    EXPECT_TRUE(text.startsWith(QLatin1String("[Desktop Entry]\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("\nType=Application\n")));
    EXPECT_EQ(execLine(item.filePath()), QCoreApplication::applicationFilePath());

    item.setEnabled(false);
    EXPECT_FALSE(QFile::exists(item.filePath()));
    item.setEnabled(false); // already off: nothing to do, nothing to report
    EXPECT_EQ(log.messages(), QStringList());

    // An entry the user hid counts as off until enabled again.
    write(item.filePath(), "[Desktop Entry]\nType=Application\nExec=/x\nHidden = true\n");
    EXPECT_FALSE(item.enabled());
    item.setEnabled(true);
    EXPECT_TRUE(item.enabled());
    EXPECT_FALSE(read(item.filePath()).contains(QLatin1String("Hidden")));

    // The entry earlier versions wrote counts, and either switch position leaves none of it.
    const QString old = dirs.file(QStringLiteral("autostart/pobi.desktop"));
    for (bool on : {true, false}) {
        QFile::remove(item.filePath());
        write(old, "[Desktop Entry]\nType=Application\nExec=/x\n");
        EXPECT_TRUE(item.enabled());
        item.setEnabled(on);
        EXPECT_FALSE(QFile::exists(old));
        EXPECT_EQ(item.enabled(), on);
    }
}

TEST(XdgAutostart, ExecIsQuotedAndEscapedForDesktopEntries) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/pobi/bin/pobi", "/opt/pobi/bin/pobi"},
        {"/opt/my apps/pobi", "\"/opt/my apps/pobi\""},
        {"/opt/a$b/pobi", "\"/opt/a\\\\$b/pobi\""},
        {"/opt/100%/pobi", "/opt/100%%/pobi"},
        {"/opt/q\"x/pobi", "\"/opt/q\\\\\"x/pobi\""},
    };
    for (auto [exe, expected] : cases) {
        TestDirs dirs;
        XdgAutostart item(dirs.path(), QString::fromUtf8(exe));
        item.setEnabled(true);
        EXPECT_EQ(execLine(item.filePath()), QString::fromUtf8(expected)) << exe;
    }
    // An installed program, found on PATH under its own name, is named plainly.
    TestDirs dirs;
    const QString exe = dirs.file(QStringLiteral("pobi"));
    write(exe, "#!/bin/sh\n");
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dirs.path()) + ':' + path);
    XdgAutostart item(dirs.file(QStringLiteral("autostart")), exe);
    item.setEnabled(true);
    qputenv("PATH", path);
    EXPECT_EQ(execLine(item.filePath()), QStringLiteral("pobi"));
}

TEST(XdgAutostart, FailuresAreLoggedAndChangeNothing) {
    TestDirs dirs;
    // A plain file where the folder should be: the folder cannot be made (even by root).
    write(dirs.file(QStringLiteral("blocked")), "x");
    XdgAutostart cannotWrite(dirs.file(QStringLiteral("blocked")));
    // A folder where the entry should be cannot be removed as a file.
    XdgAutostart cannotRemove(dirs.path());
    ASSERT_TRUE(QDir().mkpath(cannotRemove.filePath() + QStringLiteral("/keep")));
    LogCapture log;
    cannotWrite.setEnabled(true);
    EXPECT_FALSE(cannotWrite.enabled());
    EXPECT_EQ(log.messages().size(), 1);
    cannotRemove.setEnabled(false);
    ASSERT_EQ(log.messages().size(), 2) << log.messages().join(u'\n').toStdString();
    for (const QString& message : log.messages())
        EXPECT_TRUE(message.startsWith(QLatin1String("Pobi: launch at login failed: ")))
            << message.toStdString();
    EXPECT_EQ(read(dirs.file(QStringLiteral("blocked"))), QStringLiteral("x"));
    EXPECT_TRUE(QFileInfo(cannotRemove.filePath() + QStringLiteral("/keep")).isDir());
}

} // namespace
