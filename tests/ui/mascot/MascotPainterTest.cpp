#include "ui/mascot/MascotPainter.h"

#include "core/mascot/MascotBrain.h"
#include "ui/mascot/Glyph.h"
#include "ui/mascot/MascotLayers.h"
#include "ui/mascot/MascotView.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// The tray draws the glyph at many sizes, smaller than 18 pixels too: whole at each (the same
// area), and with the speech mark while talking.
TEST(Glyph, WholeAtEverySizeAndMarkedWhileTalking) {
    const auto area = [](const QImage& img) {
        double alpha = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                alpha += qAlpha(img.pixel(x, y)) / 255.0;
        return alpha / img.devicePixelRatio() / img.devicePixelRatio();
    };
    const double area1 = area(Glyph::image(false));
    for (qreal dpr : {10 / 18.0, 20 / 18.0, 2.0, 4.0}) {
        const QImage silent = Glyph::image(false, dpr);
        ASSERT_EQ(silent.size(), QSize(18, 18) * dpr);
        EXPECT_NEAR(area(silent), area1, area1 * 0.05) << dpr;
        EXPECT_NE(Glyph::image(true, dpr), silent) << dpr;
    }
}

// The frame timer runs only while the view is shown and something can still move (that a hidden
// view stops is the popup's test: nothing animates while it is closed).
TEST(MascotView, TicksOnlyWhileShownAndSomethingMoves) {
    MascotBrain still(MascotBrain::Mood::Content, false), alive(MascotBrain::Mood::Content, true);
    MascotView view(&still);
    view.resize(64, 64);
    still.hop(1);
    EXPECT_FALSE(view.ticking());
    view.show();
    EXPECT_EQ(view.ticking() ? view.interval() : 0, MascotView::frameMs);
    // The hop plays at full rate; once it is over nothing moves until the brain is stirred.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.ticking(); }, 10000));
    still.beat(true);
    EXPECT_TRUE(view.ticking());
    // A live brain keeps swaying and is looked at less often while calm.
    view.setBrain(&alive);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view.ticking() && view.interval() > MascotView::frameMs; }, 10000));
}

// Fitted into a wider area, with cached body images and thinned eye outlines, the mascot differs
// from its paths only by anti-aliasing noise in any pose, look and pixel ratio: a body a pixel
// off or without its light shows in the mean difference.
TEST(MascotLayers, PaintWhatThePathsPaintCentredInTheArea) {
    MascotBrain brain(MascotBrain::Mood::Neutral, false);
    brain.setTalking(true);
    brain.hop(1);
    brain.flash("muted", 1e9);
    MascotLayers layers;
    for (int i = 0; i < 40; i += 6) {
        MascotBrain::Frame f;
        for (int j = i - 5; j <= i; ++j) // every frame, so the clock runs as in a view
            f = brain.frame(j / 60.0);
        for (const int ratio : {1, 2}) {
            QImage paths = blank(64 * ratio, 64 * ratio);
            QPainter p(&paths);
            p.scale(64 * ratio / 200.0, 64 * ratio / 200.0);
            MascotPainter::paint(p, f, false);
            QImage wide = blank(84 * ratio, 64 * ratio);
            wide.setDevicePixelRatio(ratio);
            QPainter q(&wide);
            layers.paint(q, f, QRectF(0, 0, 84, 64), false);
            // The largest difference of the premultiplied channels (pixel() leaves them so).
            double sum = 0;
            for (int y = 0; y < paths.height(); ++y)
                for (int x = 0; x < paths.width(); ++x) {
                    const QRgb a = paths.pixel(x, y), b = wide.pixel(x + 10 * ratio, y);
                    sum +=
                        std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                }
            SCOPED_TRACE(testing::Message() << i << " " << ratio);
            EXPECT_LT(sum / paths.width() / paths.height(), 1.5);
            EXPECT_EQ(wide.copy(0, 0, 10 * ratio, 64 * ratio), blank(10 * ratio, 64 * ratio));
        }
    }
}

} // namespace
