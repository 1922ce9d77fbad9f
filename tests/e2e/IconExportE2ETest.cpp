#include "PobiProcess.h"
#include "TestDirs.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QMap<QString, QByteArray> readAll(const QString& path) {
    QMap<QString, QByteArray> files;
    QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    return files;
}

void checkExport(const QString& flag, const QMap<QString, int>& expected) {
    TestDirs dirs;
    const QString target = dirs.file("deep/er/icons");
    PobiProcess pobi;
    pobi.platform = QStringLiteral("xcb"); // no display, but the environment still names one
    ASSERT_EQ(pobi.runAnother({flag, target}, 60000), 0);
    const auto first = readAll(target);
    ASSERT_EQ(first.keys(), expected.keys());
    for (auto it = first.begin(); it != first.end(); ++it) {
        const int px = expected.value(it.key());
        const QImage image = QImage::fromData(it.value(), "PNG");
        EXPECT_EQ(image.size(), QSize(px, px)) << it.key().toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << it.key().toStdString();
    }
    // A second run replaces every file with the very same bytes.
    ASSERT_EQ(pobi.runAnother({flag, target}, 60000), 0);
    EXPECT_TRUE(readAll(target) == first);
}

TEST(IconExportE2E, DesktopIconsHeadless) {
    checkExport(QStringLiteral("--render-icon"), {{"icon_16x16.png", 16},
                                                  {"icon_16x16@2x.png", 32},
                                                  {"icon_32x32.png", 32},
                                                  {"icon_32x32@2x.png", 64},
                                                  {"icon_128x128.png", 128},
                                                  {"icon_128x128@2x.png", 256},
                                                  {"icon_256x256.png", 256},
                                                  {"icon_256x256@2x.png", 512},
                                                  {"icon_512x512.png", 512},
                                                  {"icon_512x512@2x.png", 1024}});
}

TEST(IconExportE2E, MobileIconsHeadless) {
    checkExport(QStringLiteral("--render-mobile-icons"), {{"icon.png", 1024},
                                                          {"android-icon-foreground.png", 1024},
                                                          {"android-icon-background.png", 1024},
                                                          {"android-icon-monochrome.png", 1024},
                                                          {"mascot.png", 512}});
}

} // namespace
