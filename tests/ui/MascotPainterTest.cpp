#include "MascotPainter.h"

#include "Glyph.h"
#include "MascotBrain.h"
#include "MascotView.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using Frame = MascotBrain::Frame;

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

Frame restingFrame() {
    MascotBrain brain(MascotBrain::Mood::Content, false);
    return brain.frame(0);
}

// The frame painted on a square canvas of the given pixel size.
QImage paintFrame(const Frame& f, bool flat, int px = 400) {
    QImage img = blank(px, px);
    QPainter p(&img);
    p.scale(px / 200.0, px / 200.0);
    MascotPainter::paint(p, f, flat);
    return img;
}

QRect opaqueBounds(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                r |= QRect(x, y, 1, 1);
    return r;
}

TEST(MascotPainter, FitsTheCanvasIntoTheSmallerSideAndCentresIt) {
    MascotBrain a(MascotBrain::Mood::Content, false), b(MascotBrain::Mood::Content, false);
    QImage wide = blank(300, 120), square = blank(120, 120);
    {
        QPainter p(&wide);
        MascotView::draw(p, a, QRectF(0, 0, 300, 120), 0, false);
        QPainter q(&square);
        MascotView::draw(q, b, QRectF(0, 0, 120, 120), 0, false);
    }
    // The 200-unit canvas becomes 120 px tall and starts 90 px from the left.
    EXPECT_EQ(wide.copy(90, 0, 120, 120), square);
    const QRect drawn = opaqueBounds(wide);
    EXPECT_TRUE(QRect(90, 0, 120, 120).contains(drawn)) << drawn.x() << " " << drawn.width();
    // The body's left and bottom edges: canvas x 28 and y 188 at 0.6 px per unit.
    EXPECT_EQ(drawn.left(), 90 + 16);
    EXPECT_EQ(drawn.bottom(), 112);
}

TEST(MascotPainter, FlatPartsAreSingleSolidColours) {
    const QImage flat = paintFrame(restingFrame(), true);
    const QImage shaded = paintFrame(restingFrame(), false);
    const double k = 2; // pixels per canvas unit
    const struct {
        const char* part;
        QPointF centre; // canvas units
        double reach;
        QColor colour;
    } parts[] = {
        {"body, below the eyes", {100, 160}, 20, MascotPainter::body},
        {"body, above the eyes", {100, 70}, 14, MascotPainter::body},
        {"ear", {160.1, 65.5}, 3, MascotPainter::part},
        {"button", {100, 34}, 4, MascotPainter::part},
    };
    for (const auto& part : parts) {
        QSet<QRgb> flatColours, shadedColours;
        for (double dx = -part.reach; dx <= part.reach; dx += 1)
            for (double dy = -part.reach / 2; dy <= part.reach / 2; dy += 1) {
                const QPoint px((part.centre.x() + dx) * k, (part.centre.y() + dy) * k);
                flatColours.insert(flat.pixel(px));
                shadedColours.insert(shaded.pixel(px));
            }
        EXPECT_EQ(flatColours, QSet<QRgb>{part.colour.rgba()}) << part.part;
        EXPECT_GT(shadedColours.size(), 1) << part.part; // the gradient is really there otherwise
    }
}

TEST(MascotPainter, FaintWavesDrawNothing) {
    Frame silent = restingFrame();
    const QImage none = paintFrame(silent, false);
    Frame faint = silent;
    faint.waves = {{0.01, -3}, {0.005, -1}};
    EXPECT_EQ(paintFrame(faint, false), none);
    Frame visible = silent;
    visible.waves = {{0.02, -3}, {0, 0}};
    EXPECT_NE(paintFrame(visible, false), none);
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

TEST(MascotView, RedrawsOnlyWhileVisible) {
    MascotBrain brain(MascotBrain::Mood::Content, true);
    MascotView view(&brain, true, false);
    view.resize(64, 64);
    EXPECT_FALSE(view.ticking());
    view.show();
    EXPECT_TRUE(view.ticking());
    view.hide();
    EXPECT_FALSE(view.ticking());

    MascotView still(&brain, false, false);
    still.show();
    EXPECT_FALSE(still.ticking());
}

} // namespace
