#include "core/mascot/MascotBrain.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using Mood = MascotBrain::Mood;
using Outline = MascotBrain::Outline;

// Drives a brain the way a view does: one frame every 1/60 s of wall time.
struct Driver {
    MascotBrain& brain;
    double t = 100; // wall seconds; any epoch

    explicit Driver(MascotBrain& b) : brain(b) { brain.frame(t); }
    void run(double ms) {
        for (long i = std::lround(ms / (1000.0 / 60)); i > 0; --i) {
            t += 1.0 / 60;
            brain.frame(t);
        }
    }
};

// The same time again advances nothing; after a long pause the clock moves one capped step, and
// never back with the wall clock.
TEST(MascotBrain, ClockStandsStillStepsCappedAndNeverGoesBack) {
    MascotBrain brain(Mood::Content, true);
    brain.frame(1000);
    brain.frame(1000);
    EXPECT_EQ(brain.clockMs(), 0);
    brain.frame(1010); // ten seconds of silence
    EXPECT_DOUBLE_EQ(brain.clockMs(), 1000.0 / 30);
    brain.frame(1005); // the wall clock went backwards
    EXPECT_DOUBLE_EQ(brain.clockMs(), 1000.0 / 30);
    brain.frame(1005.01);
    EXPECT_NEAR(brain.clockMs(), 1000.0 / 30 + 10, 1e-6);
}

// A digit shows with a hop. An icon holds its whole time against a newer mood (which follows it),
// and a newer icon replaces it along with its settle time.
TEST(MascotBrain, AnIconLastsItsTimeUnlessANewerOneReplacesIt) {
    MascotBrain brain(Mood::Content, false);
    Driver d(brain);
    brain.digit(1);
    EXPECT_LT(brain.spring(MascotBrain::Y).v, 0);
    d.run(1080);
    EXPECT_EQ(brain.icon(), QString("n1"));
    d.run(40);
    EXPECT_FALSE(brain.icon().has_value());

    brain.flash("play", 950);
    EXPECT_EQ(brain.shape(), "play");
    d.run(200);
    brain.setMood(Mood::Sleep);
    d.run(700);
    EXPECT_EQ(brain.shape(), "play");
    brain.flash("stop", 950);
    const double second = brain.clockMs();
    d.run(100); // past the first flash's timeout
    EXPECT_EQ(brain.icon(), QString("stop"));
    while (brain.clockMs() < second + 940)
        d.run(1000.0 / 60);
    EXPECT_EQ(brain.shape(), "stop");
    d.run(50);
    EXPECT_FALSE(brain.icon().has_value());
    EXPECT_EQ(brain.shape(), "sleep");
}

TEST(MascotBrain, ResampleSpacesPointsEvenlyAlongTheClosedOutline) {
    // A 20-unit square has an 80-unit perimeter: one point per unit, corners included.
    const Outline square{{0, 0}, {20, 0}, {20, 20}, {0, 20}};
    const Outline r = MascotBrain::resample(square);
    ASSERT_EQ(r.size(), 80u);
    for (int i = 0; i < 80; ++i) { // each side in turn, the last one closing the outline
        const double a = i % 20;
        const QPointF onSide[] = {{a, 0}, {20, a}, {20 - a, 20}, {0, 20 - a}};
        EXPECT_EQ(r[i], onSide[i / 20]) << i;
    }

    // Zero-length segments yield no gaps and no NaN.
    const Outline dup = MascotBrain::resample({{0, 0}, {0, 0}, {8, 0}, {8, 0}});
    ASSERT_EQ(dup.size(), 80u);
    for (const auto& p : dup)
        EXPECT_FALSE(std::isnan(p.x()) || std::isnan(p.y()));
}

} // namespace
