#include "PobiProcess.h"
#include "TestDirs.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QMap<QString, QByteArray> readAll(const QString& path) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(path).entryList(QDir::Files))
        files.insert(name, TestDirs::read(path + u'/' + name));
    return files;
}

// Each export writes its files, with alpha, into a folder it makes, without a display; a second
// run replaces every file with the very same bytes.
TEST(IconExportE2E, DesktopAndMobileIconsHeadless) {
    QMap<QString, int> desktop;
    for (int px : {16, 32, 128, 256, 512}) {
        desktop.insert(QStringLiteral("icon_%1x%1.png").arg(px), px);
        desktop.insert(QStringLiteral("icon_%1x%1@2x.png").arg(px), 2 * px);
    }
    const QMap<QString, int> mobile = {{"icon.png", 1024},
                                       {"android-icon-foreground.png", 1024},
                                       {"android-icon-background.png", 1024},
                                       {"android-icon-monochrome.png", 1024},
                                       {"mascot.png", 512}};
    for (const auto& [flag, expected] :
         {std::pair{"--render-icon", desktop}, {"--render-mobile-icons", mobile}}) {
        TestDirs dirs;
        const QString target = dirs.file("deep/er/icons");
        PobiProcess pobi;
        pobi.platform = QStringLiteral("xcb"); // no display, but the environment still names one
        ASSERT_EQ(pobi.runAnother({flag, target}, 60000), 0) << flag;
        const auto first = readAll(target);
        ASSERT_EQ(first.keys(), expected.keys()) << flag;
        for (auto it = first.begin(); it != first.end(); ++it) {
            const QImage image = QImage::fromData(it.value(), "PNG");
            const int px = expected.value(it.key());
            EXPECT_EQ(image.size(), QSize(px, px)) << it.key().toStdString();
            EXPECT_TRUE(image.hasAlphaChannel()) << it.key().toStdString();
        }
        ASSERT_EQ(pobi.runAnother({flag, target}, 60000), 0) << flag;
        EXPECT_TRUE(readAll(target) == first) << flag;
    }
}

} // namespace
