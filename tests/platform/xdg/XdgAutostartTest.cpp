#include "platform/xdg/XdgAutostart.h"

#include "LogCapture.h"
#include "TestDirs.h"

#include <QCoreApplication>
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
    EXPECT_FALSE(item.enabled());
    item.setEnabled(true); // the folder does not exist yet
    EXPECT_TRUE(item.enabled());
    EXPECT_EQ(QProcess::execute(QStringLiteral("desktop-file-validate"), {item.filePath()}), 0);
    EXPECT_EQ(execLine(item.filePath()), QCoreApplication::applicationFilePath());

    item.setEnabled(false);
    EXPECT_FALSE(QFile::exists(item.filePath()));

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
    const std::pair<QString, QString> cases[] = {
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
}

TEST(XdgAutostart, AFailureIsLoggedAndChangesNothing) {
    TestDirs dirs;
    // A plain file where the folder should be: the folder cannot be made (even by root).
    ASSERT_TRUE(TestDirs::write(dirs.file(QStringLiteral("blocked")), "x"));
    XdgAutostart cannotWrite(dirs.file(QStringLiteral("blocked")));
    LogCapture log;
    cannotWrite.setEnabled(true);
    EXPECT_FALSE(cannotWrite.enabled());
    EXPECT_EQ(log.messages().filter(QLatin1String("Pobi: launch at login failed: ")).size(), 1)
        << log.messages().join(u'\n').toStdString();
    EXPECT_EQ(TestDirs::read(dirs.file(QStringLiteral("blocked"))), "x");
}

} // namespace
