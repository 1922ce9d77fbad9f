#include "core/metronome/Metronome.h"

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "TestDirs.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

struct Tick {
    qint64 ms;
    int n;
    bool accent;
};

struct Click {
    qint64 at;
    bool hi;
};

// The metronome on an offline player: the test moves the clock and the player's timeline
// together, 10 ms (441 frames) at a time, as a real output would.
class MetronomeTest : public ::testing::Test {
protected:
    MetronomeTest() {
        QObject::connect(&metronome, &Metronome::ticked, [this](int n, bool accent) {
            ticks.push_back({clock.monotonicMs() - start, n, accent});
        });
    }

    void run(int ms) { player.run(clock, ms); }

    // Finds every click in what was rendered and checks it is one of the two buffers, whole.
    std::vector<Click> clicks() const {
        const auto& out = player.output();
        std::vector<Click> found;
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (out[i] == 0.0f)
                continue;
            // Sample 0 of a click is silent; the first sound is its sample 1.
            const qint64 at = qint64(i) - 1;
            const bool isHi = player.holds(*Metronome::hiClick(), at);
            const auto& click = isHi ? *Metronome::hiClick() : *Metronome::loClick();
            EXPECT_TRUE(isHi || player.holds(click, at)) << "no whole click at " << at;
            found.push_back({at, isHi});
            i = std::size_t(at) + click.size() - 1;
        }
        return found;
    }

    TestDirs dirs;
    QSettings store{dirs.settingsFile(), QSettings::IniFormat};
    FakeClock clock;
    qint64 start = clock.monotonicMs();
    FakeAudioPlayer player;
    Metronome metronome{store, player, clock};
    std::vector<Tick> ticks;
};

TEST_F(MetronomeTest, At120BpmClicksAre22050SamplesApartAndEachBeatEventComesAsOneIsHeard) {
    // The first click 80 ms (3528 frames) after start(). Outputs: one with no buffer; one whose
    // server holds 200 ms and which already runs (the chime holds it); one like it but fresh,
    // with a runningChanged listener that holds the start up for 50 ms; a fresh one that, 10 ms
    // in, turns out to have started playing 18 ms later than assumed. Whatever the wall clock
    // does meanwhile changes nothing. Then accents and beats in the bar (below 1 counts as 1).
    struct Case {
        int latency;
        int aheadMs;
        int listenerMs;
        int lateFrames;
        qint64 firstClick;
        qint64 firstTick;
        bool accent;
        int beats;
        const char* n;  // of each click in its bar
        const char* hi; // 1: the loud click
    };
    const Case cases[] = {{0, 0, 0, 0, 3528, 80, true, 4, "01230", "10001"},
                          {8820, 300, 0, 0, 8820 + 13230 + 3528, 280, true, 4, "01230", "10001"},
                          {8820, 0, 50, 0, 8820 + 2205 + 3528, 330, true, 4, "01230", "10001"},
                          {0, 0, 0, 794, 3528, 98, true, 4, "01230", "10001"},
                          {0, 0, 0, 0, 3528, 80, true, 3, "01201", "10010"},
                          {0, 0, 0, 0, 3528, 80, false, 4, "01230", "00000"},
                          {0, 0, 0, 0, 3528, 80, true, 0, "00000", "11111"}};
    metronome.setBpm(120);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.latency << " " << c.aheadMs << " " << c.listenerMs
                                        << " " << c.lateFrames << " " << c.accent << c.beats);
        metronome.setAccent(c.accent);
        metronome.setBeats(c.beats);
        player.setLatency(c.latency);
        if (c.aheadMs > 0) {
            player.start();
            player.render(c.latency); // a device fills its buffer at once
            run(c.aheadMs);
        }
        const auto slow = QObject::connect(&metronome, &Metronome::runningChanged, [&] {
            if (c.listenerMs > 0) {
                player.render(c.latency + c.listenerMs * 441 / 10);
                clock.stall(c.listenerMs);
            }
        });
        start = clock.monotonicMs();
        ticks.clear();
        metronome.start();
        QObject::disconnect(slow);
        run(10);
        player.setLatency(c.latency + c.lateFrames);
        run(990);
        clock.jump(-60000);
        run(600);
        clock.jump(3600000);
        run(800);
        // The practice time ignores both clock changes.
        EXPECT_NEAR(metronome.secondsRunning(), 2.4, 0.5);
        const auto found = clicks();
        ASSERT_EQ(found.size(), 5u);
        ASSERT_EQ(ticks.size(), 5u);
        for (std::size_t k = 0; k < found.size(); ++k) {
            EXPECT_EQ(found[k].at, c.firstClick + 22050 * static_cast<qint64>(k));
            EXPECT_EQ(ticks[k].ms, c.firstTick + 500 * static_cast<qint64>(k));
            EXPECT_EQ(ticks[k].n, c.n[k] - '0');
            EXPECT_EQ(found[k].hi, c.hi[k] == '1');
            EXPECT_EQ(ticks[k].accent, c.hi[k] == '1');
        }
        EXPECT_EQ(metronome.beat(), c.n[4] - '0');
        metronome.stop();
    }
}

// A tempo change is stored at once and waits for the next click not yet scheduled. A stop silences
// what is scheduled and sends no more beat events, and a quick restart inherits none of the old
// run's.
TEST_F(MetronomeTest, ATempoChangeWaitsForTheNextClickAndAStopEndsEverythingScheduled) {
    metronome.setBpm(120);
    metronome.start();
    run(500); // clicks at 3528 and 25578 are scheduled
    metronome.setBpm(60);
    EXPECT_EQ(Metronome(store, player, clock).bpm(), 60); // stored at once
    run(2500); // the click at frame 135828 (3080 ms) is scheduled but not yet heard
    const auto found = clicks();
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[1].at - found[0].at, 22050);
    EXPECT_EQ(found[2].at - found[1].at, 22050); // computed before the change
    EXPECT_EQ(found[3].at - found[2].at, 44100);
    ASSERT_EQ(ticks.size(), 4u);
    metronome.stop();
    EXPECT_EQ(metronome.beat(), -1);
    EXPECT_FALSE(player.isRunning());
    run(1000);
    EXPECT_EQ(ticks.size(), 4u);
    EXPECT_EQ(clock.activeTimers(), 0);

    metronome.start();
    run(40);
    metronome.stop();
    metronome.start();
    run(60);
    EXPECT_TRUE(ticks.size() == 4u) << "stale beat event delivered";
    run(30);
    EXPECT_EQ(ticks.size(), 5u);
}

} // namespace
