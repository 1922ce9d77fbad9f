#include "core/audio/BellChime.h"

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "TestDirs.h"
#include "core/audio/AudioShare.h"
#include "core/audio/SharedAudioPlayer.h"
#include "core/metronome/Metronome.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

// The application's wiring: one output, shared by the metronome and the chime.
class SharedOutputTest : public ::testing::Test {
protected:
    void run(int ms) { output.run(clock, ms); }

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
    run(1500); // the bell has been rendered, but the server may still be playing it
    EXPECT_TRUE(output.isRunning());
    run(600);
    EXPECT_FALSE(chime.holding());
    EXPECT_TRUE(output.holds(*BellChime::bell(), BellChime::startupFrames));
    EXPECT_EQ(share.users(), 0);

    // Set a second ahead on a server that holds 200 ms: the output opens at once and the bell
    // lands on the frame heard a second later. A bell taken back lets the output go.
    output.setLatency(8820);
    chime.playAt(clock.monotonicMs() + 1000);
    output.render(8820); // a device fills its buffer at once
    run(2100);
    EXPECT_TRUE(output.holds(*BellChime::bell(), 44100));
    chime.playAt(clock.monotonicMs() + 1000);
    run(300);
    chime.cancel();
    EXPECT_FALSE(output.isRunning());
}

TEST_F(SharedOutputTest, AChimeDuringTheMetronomeMixesInOutlastsItsStopAndSharesAFailure) {
    metronome.setBpm(120);
    metronome.start();
    run(500);
    const qint64 at = output.sampleTime() + BellChime::leadFrames;
    chime.play();
    run(1000); // the click at 1.08 s has sounded, the one at 1.58 s is scheduled, not rendered
    metronome.stop();
    EXPECT_TRUE(output.isRunning());
    run(1600);
    EXPECT_FALSE(output.isRunning());
    // Both inside the bell: the first mixed with it, the second dropped with the stop.
    const auto& out = output.output();
    for (const auto& [click, lo] :
         {std::pair{qint64(3528 + 2 * 22050), (*Metronome::loClick())[100]},
          std::pair{qint64(3528 + 3 * 22050), 0.0f}})
        EXPECT_EQ(out[static_cast<std::size_t>(click + 100)],
                  (*BellChime::bell())[static_cast<std::size_t>(click + 100 - at)] + lo);

    // The output dying reaches every user; it comes back for the next one.
    metronome.start();
    chime.play();
    output.die(QStringLiteral("server went away"));
    EXPECT_FALSE(metronome.running());
    EXPECT_FALSE(chime.holding());
    EXPECT_EQ(share.users(), 0);
    chime.play();
    EXPECT_EQ(share.users(), 1);
    EXPECT_TRUE(output.isRunning());
}

} // namespace
