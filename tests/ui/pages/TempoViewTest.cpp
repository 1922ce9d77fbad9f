#include "ui/pages/TempoView.h"

#include "PageFixture.h"
#include "ui/controls/BeatDots.h"
#include "ui/controls/ChipButton.h"
#include "ui/controls/PillButton.h"
#include "ui/controls/RoundButton.h"
#include "ui/mascot/MascotView.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Shake.h"
#include "ui/widgets/TextLabel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace {

class TempoViewTest : public ::testing::Test, protected PageFixture {
protected:
    TempoViewTest() {
        view.show();
        FakeClock::flush();
    }

    void type(const QString& line) { enter(view.field()->edit(), line); }

    // Plays on until the condition holds, for ten seconds at most.
    template <typename Done> void playUntil(Done done) {
        for (int guard = 0; !done() && guard < 1000; ++guard)
            run(10);
        ASSERT_TRUE(done());
    }

    TempoView view{metronome, speaker, settings, ui, mascot, clock, interpreter};
};

// What a typed line does is the interpreter's; the page empties the field and shakes at a refusal.
// The status line names the tempo and counts the practice, or says why there is no sound until a
// start succeeds.
TEST_F(TempoViewTest, LinesAndTheButtonShowInTheStatusLineRefusedLinesShake) {
    metronome.setBeats(3);
    type("119"); // a tempo, started
    EXPECT_EQ(view.tempoLabel()->text(), QStringLiteral("119"));
    EXPECT_EQ(view.startButton()->title(), QStringLiteral("Stop"));
    run(65000);
    // Refreshed by the once-a-second tick, not only by metronome changes.
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4 · 01:05 of practice"));
    QTest::mouseClick(view.startButton(), Qt::LeftButton);
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4"));

    type("hello");
    EXPECT_EQ(view.shake()->count(), 1);
    EXPECT_EQ(mascot.icon(), QStringLiteral("oops"));
    EXPECT_TRUE(view.field()->text().isEmpty());

    player.failNextStarts(QStringLiteral("no audio output device"));
    QTest::mouseClick(view.startButton(), Qt::LeftButton);
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("No sound: no audio output device"));
    player.failNextStarts({});
    QTest::mouseClick(view.startButton(), Qt::LeftButton);
    player.die(QStringLiteral("the audio output failed"));
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("No sound: the audio output failed"));
    QTest::mouseClick(view.startButton(), Qt::LeftButton);
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4 · 00:00 of practice"));
}

TEST_F(TempoViewTest, SignatureOnTheFourthBeatRestartsTheBarAndTheDotsFollowIt) {
    metronome.setBpm(120);
    QList<int> heard;
    QObject::connect(&metronome, &Metronome::ticked, [&](int n, bool) { heard.append(n); });
    metronome.start();
    playUntil([this] { return metronome.n() == 3; }); // beat 4 is next
    type("3/4 90");
    heard.clear();
    run(3000);
    // Already scheduled clicks play out; the next scheduled click is beat one of a 3/4 bar.
    const qsizetype restart = heard.indexOf(0);
    ASSERT_GE(restart, 0);
    EXPECT_LE(restart, 1);
    EXPECT_EQ(heard.mid(restart, 4), (QList<int>{0, 1, 2, 0}));

    // The dot lit is the beat heard.
    BeatDots* dots = view.dots();
    ASSERT_EQ(dots->count(), 3);
    playUntil([this] { return metronome.beat() == 1; });
    dots->fade()->setCurrentTime(BeatDots::fadeMs);
    EXPECT_EQ(QList({dots->lit(0), dots->lit(1), dots->lit(2)}), QList({0.0, 1.0, 0.0}));
}

TEST_F(TempoViewTest, StepButtonsAndTapsSetTheTempoWithoutStartingIt) {
    // At the fastest tempo the plus button changes nothing, not even to the same value.
    metronome.setBpm(260);
    int changes = 0;
    QObject::connect(&metronome, &Metronome::bpmChanged, [&] { ++changes; });
    QTest::mouseClick(view.plusButton(), Qt::LeftButton);
    EXPECT_EQ(changes, 0);
    QTest::mouseClick(view.minusButton(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 259);
    // Taps on the chip or the mascot count alike; quick ones on the mascot arrive as double
    // clicks.
    QTest::mouseClick(view.tapChip(), Qt::LeftButton);
    clock.advance(500);
    QTest::mouseClick(view.mascotView(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 120);
    clock.advance(250);
    QMouseEvent dclick(QEvent::MouseButtonDblClick, QPointF(32, 32), QPointF(32, 32),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.mascotView(), &dclick);
    EXPECT_EQ(metronome.bpm(), 160);
    EXPECT_FALSE(metronome.running());
}

} // namespace
