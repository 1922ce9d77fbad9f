#include "BellChime.h"

#include "AudioShare.h"
#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "LogCapture.h"
#include "Metronome.h"
#include "SharedAudioPlayer.h"
#include "TestDirs.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

// The application's wiring: one output, shared by the metronome and the chime.
class SharedOutputTest : public ::testing::Test {
protected:
    void run(int ms) {
        for (int t = 0; t < ms; t += 10) {
            output.render(441);
            clock.advance(10);
        }
    }

    // Whether a whole bell sits in the output at frame at.
    bool bellAt(qint64 at) const {
        const auto& out = output.output();
        const auto& bell = *BellChime::bell();
        if (at < 0 || at + static_cast<qint64>(bell.size()) > static_cast<qint64>(out.size()))
            return false;
        for (std::size_t k = 0; k < bell.size(); ++k)
            if (out[static_cast<std::size_t>(at) + k] != bell[k])
                return false;
        return true;
    }

    bool silentFrom(qint64 from) const {
        const auto& out = output.output();
        return std::all_of(out.begin() + from, out.end(), [](float v) { return v == 0.0f; });
    }

    TestDirs dirs;
    QSettings store{dirs.settingsFile(), QSettings::IniFormat};
    FakeClock clock;
    FakeAudioPlayer output;
    AudioShare share{output};
    SharedAudioPlayer metronomeOutput{share};
    Metronome metronome{store, metronomeOutput, clock};
    BellChime chime{share, clock};
};

TEST_F(SharedOutputTest, AChimeAloneStartsTheOutputAndReleasesItAfterwards) {
    chime.play();
    EXPECT_TRUE(output.isRunning());
    EXPECT_TRUE(chime.holding());
    run(1500); // the bell has been rendered, but the server may still be playing it
    EXPECT_TRUE(output.isRunning());
    run(600);
    EXPECT_FALSE(output.isRunning());
    EXPECT_FALSE(chime.holding());
    EXPECT_TRUE(bellAt(BellChime::startupFrames));
    EXPECT_EQ(share.users(), 0);

    // Set a second ahead on a server that holds 200 ms: the output opens at once and the bell
    // lands on the frame heard a second later. A bell taken back lets the output go.
    output.setLatency(8820);
    chime.playAt(clock.monotonicMs() + 1000);
    EXPECT_TRUE(output.isRunning());
    output.render(8820); // a device fills its buffer at once
    run(2100);
    EXPECT_TRUE(bellAt(44100));
    chime.playAt(clock.monotonicMs() + 1000);
    run(300);
    chime.cancel();
    EXPECT_FALSE(output.isRunning());
}

TEST_F(SharedOutputTest, AChimeDuringTheMetronomeLeavesTheOutputRunning) {
    metronome.setBpm(120);
    metronome.start();
    run(300);
    const qint64 at = output.sampleTime() + BellChime::leadFrames;
    chime.play();
    run(2000);
    EXPECT_FALSE(chime.holding());
    EXPECT_TRUE(output.isRunning());
    EXPECT_EQ(output.stops(), 0);
    // Clicks and bell mixed: the click at 1.08 s falls inside the bell.
    const auto& out = output.output();
    const auto& bell = *BellChime::bell();
    const auto& lo = *Metronome::loClick();
    const qint64 click = 3528 + 2 * 22050;
    EXPECT_EQ(out[static_cast<std::size_t>(click + 100)],
              bell[static_cast<std::size_t>(click + 100 - at)] + lo[100]);
    metronome.stop();
    EXPECT_FALSE(output.isRunning());
}

TEST_F(SharedOutputTest, StoppingTheMetronomeDuringTheChimeDropsOnlyItsClicks) {
    metronome.setBpm(120);
    metronome.start();
    run(500); // the click at 25578 is scheduled, not yet rendered
    chime.play();
    const qint64 bellStart = output.sampleTime() + BellChime::leadFrames;
    metronome.stop();
    EXPECT_TRUE(output.isRunning());
    run(1600);
    EXPECT_TRUE(bellAt(bellStart)); // the bell alone: no click mixed in
    EXPECT_FALSE(output.isRunning());
}

TEST_F(SharedOutputTest, AnOutputDyingReachesEveryUser) {
    LogCapture log;
    metronome.start();
    chime.play();
    run(100);
    output.die(QStringLiteral("server went away"));
    EXPECT_FALSE(metronome.running());
    EXPECT_FALSE(chime.holding());
    EXPECT_EQ(share.users(), 0);
    run(2000);
    chime.play(); // the output comes back for the next user
    EXPECT_TRUE(output.isRunning());
    EXPECT_EQ(share.users(), 1);
}

} // namespace
