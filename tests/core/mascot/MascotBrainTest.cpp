#include "core/mascot/MascotBrain.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

using Mood = MascotBrain::Mood;
using Outline = MascotBrain::Outline;

std::function<double()> seeded(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0, 1)(*engine); };
}

// Drives a brain the way a view does: one frame every 1/60 s of wall time.
struct Driver {
    MascotBrain& brain;
    double t = 100; // wall seconds; any epoch
    MascotBrain::Frame last;

    explicit Driver(MascotBrain& b) : brain(b) { last = brain.frame(t); }
    void run(double ms, const std::function<void()>& eachFrame = {}) {
        const int frames = static_cast<int>(std::lround(ms / (1000.0 / 60)));
        for (int i = 0; i < frames; ++i) {
            t += 1.0 / 60;
            last = brain.frame(t);
            if (eachFrame)
                eachFrame();
        }
    }
};

// The same time again advances nothing: the pose stays the mood's own shape, at rest. After that
// the clock moves at most one capped step, and never back with the wall clock.
TEST(MascotBrain, ClockStandsStillStepsCappedAndNeverGoesBack) {
    for (const auto& [mood, name] : {std::pair{Mood::Content, "content"},
                                     {Mood::Alert, "alert"},
                                     {Mood::Sleep, "sleep"},
                                     {Mood::Done, "content"}}) {
        for (bool alive : {false, true}) {
            SCOPED_TRACE(name);
            MascotBrain brain(mood, alive, seeded(1));
            MascotBrain::Frame f;
            for (int i = 0; i < 3; ++i)
                f = brain.frame(42.0);
            EXPECT_EQ(brain.shape(), name);
            EXPECT_EQ(brain.clockMs(), 0);
            EXPECT_EQ(f.eyes, MascotBrain::shapeNamed(name)->eyes);
            for (double v : {f.y, f.rot, f.earRot, f.earSink, f.btnRot, f.btnSink, f.eyeOffset.x(),
                             f.eyeOffset.y()})
                EXPECT_EQ(v, 0);
        }
    }
    MascotBrain brain(Mood::Content, false);
    brain.frame(1000);
    brain.frame(1010); // ten seconds of silence
    EXPECT_DOUBLE_EQ(brain.clockMs(), 1000.0 / 30);
    brain.frame(1005); // the wall clock went backwards
    EXPECT_DOUBLE_EQ(brain.clockMs(), 1000.0 / 30);
    brain.frame(1005.01);
    EXPECT_NEAR(brain.clockMs(), 1000.0 / 30 + 10, 1e-6);
}

// Only the digits 1 to 3 show, each with a hop. An icon holds its whole time against a newer
// mood (which follows it), and a newer icon replaces it along with its settle time.
TEST(MascotBrain, AnIconLastsItsTimeUnlessANewerOneReplacesIt) {
    MascotBrain brain(Mood::Content, false);
    Driver d(brain);
    brain.digit(4);
    brain.digit(0);
    EXPECT_FALSE(brain.icon().has_value());
    EXPECT_EQ(brain.spring(MascotBrain::Y).v, 0);
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

// Counts life steps through their effects over a minute of idle frames.
TEST(MascotBrain, LifeStepsBlinkOnlyWhenNeutralOrAlert) {
    const struct {
        Mood mood;
        bool blinks;
    } cases[] = {
        {Mood::Neutral, true}, {Mood::Alert, true}, {Mood::Content, false}, {Mood::Sleep, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(MascotBrain::moodName(c.mood).toStdString());
        MascotBrain brain(c.mood, true, seeded(7));
        Driver d(brain);
        std::vector<double> blinkStarts;
        bool glanced = false, earMoved = false;
        QString prev = brain.shape();
        d.run(60000, [&] {
            if (brain.shape() == "blink" && prev != "blink")
                blinkStarts.push_back(brain.clockMs());
            prev = brain.shape();
            if (brain.clockMs() < 3000)
                return; // let a sleeping ear sink to its resting angle first
            glanced |= !brain.gaze().isNull();
            earMoved |= std::abs(brain.spring(MascotBrain::Ear).v) > 100;
        });
        if (c.blinks) {
            // One blink per life step, 1.8 to 4.4 s apart.
            ASSERT_GE(blinkStarts.size(), 60000u / 4400);
            for (std::size_t i = 1; i < blinkStarts.size(); ++i) {
                const double gap = blinkStarts[i] - blinkStarts[i - 1];
                EXPECT_GE(gap, 1800 - 17);
                EXPECT_LE(gap, 4400 + 17);
            }
            EXPECT_EQ(brain.shape(), MascotBrain::moodShapeName(c.mood));
        } else {
            EXPECT_TRUE(blinkStarts.empty());
            // Awake, the life steps glance and move the ear instead; asleep nothing stirs.
            EXPECT_EQ(glanced, c.mood != Mood::Sleep);
            EXPECT_EQ(earMoved, c.mood != Mood::Sleep);
        }
    }
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

TEST(MascotBrain, AlignPicksTheSmallestBestShift) {
    const Outline circle = MascotBrain::arc(0, 0, 10, 0, 360 - 4.5, 80);
    Outline rotated(80);
    for (int i = 0; i < 80; ++i)
        rotated[i] = circle[(i + 7) % 80];
    EXPECT_EQ(MascotBrain::align(circle, rotated), circle);
    EXPECT_EQ(MascotBrain::alignShift(circle, rotated), 73);

    // A target that repeats every 20 points fits equally well at four shifts.
    Outline periodic(80), cur(80);
    for (int i = 0; i < 80; ++i) {
        periodic[i] = circle[(i % 20) * 4];
        cur[i] = circle[((i + 13) % 20) * 4];
    }
    EXPECT_EQ(MascotBrain::alignShift(cur, periodic), 13);
    const Outline flat(80, QPointF(3, 3));
    EXPECT_EQ(MascotBrain::alignShift(flat, flat), 0);
}

} // namespace
