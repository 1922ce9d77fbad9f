#include "platform/xdg/XdgAutostart.h"

#include "LogCapture.h"
#include "TestDirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString execLine(const QString& desktopFile) {
    static const QRegularExpression exec(QStringLiteral("^Exec=(.*)$"),
                                         QRegularExpression::MultilineOption);
    return exec.match(QString::fromUtf8(TestDirs::read(desktopFile))).captured(1);
}

TEST(XdgAutostart, EnableWritesAnEntryForThisProgramAndDisableRemovesIt) {
    TestDirs dirs;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dirs.path().toUtf8());
    EXPECT_EQ(XdgAutostart().filePath(), dirs.file("autostart/" POBI_APP_ID ".desktop"));
    qputenv("XDG_CONFIG_HOME", saved);

    XdgAutostart item(dirs.file(QStringLiteral("autostart")));
    LogCapture log;
    EXPECT_FALSE(item.enabled());
    item.setEnabled(true); // the folder does not exist yet
    EXPECT_TRUE(item.enabled());
    EXPECT_EQ(QProcess::execute(QStringLiteral("desktop-file-validate"), {item.filePath()}), 0);
    EXPECT_EQ(execLine(item.filePath()), QCoreApplication::applicationFilePath());

    item.setEnabled(false);
    EXPECT_FALSE(QFile::exists(item.filePath()));
    item.setEnabled(false); // already off: nothing to do, nothing to report
    EXPECT_EQ(log.messages(), QStringList());

    // A hidden entry counts as off, one under an earlier name as on; a switch leaves neither.
    const QString old = dirs.file(QStringLiteral("autostart/pobi.desktop"));
    for (auto [file, hidden, on] :
         {std::tuple{item.filePath(), true, true}, {old, false, true}, {old, false, false}}) {
        QFile::remove(item.filePath());
        ASSERT_TRUE(TestDirs::write(file, hidden ? "[Desktop Entry]\nExec=/x\nHidden = true\n"
                                                 : "[Desktop Entry]\n"));
        EXPECT_EQ(item.enabled(), !hidden);
        item.setEnabled(on);
        EXPECT_EQ(item.enabled(), on);
        EXPECT_FALSE(QFile::exists(old) || TestDirs::read(item.filePath()).contains("Hidden"));
    }
}

TEST(XdgAutostart, ExecNamesTheProgramQuotedAndEscapedForDesktopEntries) {
    // A program that PATH finds under its own name (an installed one) is named plainly.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(QCoreApplication::applicationDirPath()) + ':' + path);
    const std::pair<QString, QString> cases[] = {
        {QCoreApplication::applicationFilePath(), QCoreApplication::applicationName()},
        {"/opt/my apps/pobi", "\"/opt/my apps/pobi\""},
        {"/opt/a$b/pobi", "\"/opt/a\\\\$b/pobi\""},
        {"/opt/100%/pobi", "/opt/100%%/pobi"},
        {"/opt/q\"x/pobi", "\"/opt/q\\\\\"x/pobi\""},
    };
    for (const auto& [exe, expected] : cases) {
        TestDirs dirs;
        XdgAutostart item(dirs.path(), exe);
        item.setEnabled(true);
        EXPECT_EQ(execLine(item.filePath()), expected) << exe.toStdString();
    }
    qputenv("PATH", path);
}

TEST(XdgAutostart, FailuresAreLoggedAndChangeNothing) {
    TestDirs dirs;
    // A plain file where the folder should be: the folder cannot be made (even by root).
    ASSERT_TRUE(TestDirs::write(dirs.file(QStringLiteral("blocked")), "x"));
    XdgAutostart cannotWrite(dirs.file(QStringLiteral("blocked")));
    // A folder where the entry should be cannot be removed as a file.
    XdgAutostart cannotRemove(dirs.path());
    ASSERT_TRUE(QDir().mkpath(cannotRemove.filePath() + QStringLiteral("/keep")));
    LogCapture log;
    cannotWrite.setEnabled(true);
    EXPECT_FALSE(cannotWrite.enabled());
    EXPECT_EQ(log.messages().size(), 1);
    cannotRemove.setEnabled(false);
    EXPECT_EQ(log.messages().filter(QLatin1String("Pobi: launch at login failed: ")).size(), 2)
        << log.messages().join(u'\n').toStdString();
    EXPECT_EQ(TestDirs::read(dirs.file(QStringLiteral("blocked"))), "x");
    EXPECT_TRUE(QFileInfo(cannotRemove.filePath() + QStringLiteral("/keep")).isDir());
}

} // namespace
