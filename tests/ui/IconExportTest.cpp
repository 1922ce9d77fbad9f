#include "IconRenderer.h"
#include "IconView.h"
#include "TestDirs.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(IconExport, MobileFilesHaveTheirSizesAndColours) {
    TestDirs dirs;
    const QString target = dirs.file("not/yet/there");
    IconRenderer::renderMobile(target);
    // Which files, of what size, the end-to-end export checks; here, what they show.
    const QDir dir(target);
    const QImage icon(dir.filePath("icon.png"));
    const QImage fg(dir.filePath("android-icon-foreground.png"));
    const QImage bg(dir.filePath("android-icon-background.png"));
    const QImage mono(dir.filePath("android-icon-monochrome.png"));
    const QImage mascot(dir.filePath("mascot.png"));
    for (const QImage* img : {&icon, &fg, &bg, &mono})
        ASSERT_EQ(img->size(), QSize(1024, 1024));
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            ASSERT_EQ(bg.pixel(x, y), qRgb(255, 235, 221)) << x << "," << y;
            const QRgb f = fg.pixel(x, y), m = mono.pixel(x, y);
            ASSERT_EQ(qAlpha(m), qAlpha(f)) << x << "," << y;
            ASSERT_EQ(qRed(m) | qGreen(m) | qBlue(m), 0) << x << "," << y;
            ASSERT_EQ(qAlpha(icon.pixel(x, y)), 255); // full bleed
        }
    // The foreground is transparent around the mascot and opaque in its middle.
    EXPECT_EQ(qAlpha(fg.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(fg.pixel(512, 600)), 255);
    EXPECT_EQ(qAlpha(mascot.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(mascot.pixel(256, 400)), 255);
}

TEST(IconExport, DesktopIconHasTileShadowAndTransparentCorners) {
    const QImage img = IconView::render(1024);
    EXPECT_EQ(qAlpha(img.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(img.pixel(105, 105)), 0); // cut away by the rounded corner
    EXPECT_EQ(qAlpha(img.pixel(512, 150)), 255);
    // Under the tile's lower edge the shadow fades out smoothly, never above 22 % black.
    int previous = 256;
    for (int y = 925; y < 970; ++y) {
        const int a = qAlpha(img.pixel(512, y));
        EXPECT_LE(a, 57);
        EXPECT_LE(a, previous);
        previous = a;
    }
    EXPECT_GT(qAlpha(img.pixel(512, 930)), 20);
    EXPECT_EQ(qAlpha(img.pixel(512, 1010)), 0);
    // The shadow sits lower than it reaches above the tile.
    EXPECT_GT(qAlpha(img.pixel(512, 935)), qAlpha(img.pixel(512, 89)));

    const QImage tiny = IconView::render(16);
    EXPECT_EQ(tiny.size(), QSize(16, 16));
    EXPECT_GT(qAlpha(tiny.pixel(8, 8)), 200);
    EXPECT_EQ(qAlpha(tiny.pixel(0, 0)), 0);
}

} // namespace
