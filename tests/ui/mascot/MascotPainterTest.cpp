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

using Frame = MascotBrain::Frame;

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// The frame painted on a square canvas of the given pixel size.
QImage paintFrame(const Frame& f, bool flat, int px = 400) {
    QImage img = blank(px, px);
    QPainter p(&img);
    p.scale(px / 200.0, px / 200.0);
    MascotPainter::paint(p, f, flat);
    return img;
}

// Flat, the covered pixels are at least 98% the three solid fills (body, ear and button, eyes),
// the rest being their anti-aliased edges; shaded, the body's light spreads them over many.
TEST(MascotPainter, FlatUsesOnlySolidFills) {
    for (const bool flat : {true, false}) {
        const QImage img =
            paintFrame(MascotBrain(MascotBrain::Mood::Content, false).frame(0), flat);
        QHash<QRgb, int> count;
        int opaque = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) == 255)
                    ++opaque, ++count[img.pixel(x, y)];
        QList<int> sizes = count.values();
        std::sort(sizes.rbegin(), sizes.rend());
        const double top3 = double(sizes.value(0) + sizes.value(1) + sizes.value(2)) / opaque;
        EXPECT_TRUE(flat ? top3 > 0.98 : top3 < 0.5) << flat << ": " << top3;
    }
}

TEST(Glyph, SpeechMarkIsTheOnlyDifference) {
    // The tray draws it at many sizes, smaller than 18 pixels too: whole at each, the same area.
    double area1 = 0;
    for (qreal dpr : {1.0, 10 / 18.0, 20 / 18.0, 2.0, 4.0}) {
        const QImage silent = Glyph::image(false, dpr), talking = Glyph::image(true, dpr);
        ASSERT_EQ(silent.size(), QSize(18, 18) * dpr);
        const QRectF mark = Glyph::speechMarkBounds();
        int inside = 0;
        double area = 0;
        for (int y = 0; y < silent.height(); ++y)
            for (int x = 0; x < silent.width(); ++x) {
                const QRgb a = silent.pixel(x, y), b = talking.pixel(x, y);
                area += qAlpha(a) / 255.0 / dpr / dpr;
                EXPECT_EQ(qRed(a) + qGreen(a) + qBlue(a), 0); // a black template
                if (a == b)
                    continue;
                EXPECT_TRUE(mark.contains(QPointF((x + 0.5) / dpr, (y + 0.5) / dpr)))
                    << dpr << ": " << x << "," << y;
                ++inside;
            }
        EXPECT_GT(inside, 2 * dpr) << dpr;
        area1 = area1 > 0 ? area1 : area;
        EXPECT_NEAR(area, area1, area1 * 0.05) << dpr;
    }
}

// The frame timer runs only while the view is shown and something can still move (that a hidden
// view stops is the popup's test: nothing animates while it is closed).
TEST(MascotView, TicksOnlyWhileShownAndSomethingMoves) {
    MascotBrain still(MascotBrain::Mood::Content, false), alive(MascotBrain::Mood::Content, true);
    MascotView view(&still, true, false), fixed(&still, false, false);
    view.resize(64, 64);
    fixed.show();
    still.hop(1);
    EXPECT_FALSE(view.ticking() || fixed.ticking());
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
        Frame f;
        for (int j = i - 5; j <= i; ++j) // every frame, so the clock runs as in a view
            f = brain.frame(j / 60.0);
        for (const int ratio : {1, 2})
            for (const bool flat : {false, true}) {
                const QImage paths = paintFrame(f, flat, 64 * ratio);
                QImage wide = blank(84 * ratio, 64 * ratio);
                wide.setDevicePixelRatio(ratio);
                QPainter q(&wide);
                layers.paint(q, f, QRectF(0, 0, 84, 64), flat);
                // The largest difference of the premultiplied channels (pixel() leaves them so).
                double sum = 0;
                for (int y = 0; y < paths.height(); ++y)
                    for (int x = 0; x < paths.width(); ++x) {
                        const QRgb a = paths.pixel(x, y), b = wide.pixel(x + 10 * ratio, y);
                        sum += std::max(
                            {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                             std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                    }
                SCOPED_TRACE(testing::Message() << i << " " << ratio << " " << flat);
                EXPECT_LT(sum / paths.width() / paths.height(), 1.5);
                EXPECT_EQ(wide.copy(0, 0, 10 * ratio, 64 * ratio), blank(10 * ratio, 64 * ratio));
            }
    }
}

} // namespace
