#include "TempoView.h"

#include "BeatDots.h"
#include "ChipButton.h"
#include "FieldBox.h"
#include "MascotView.h"
#include "PillButton.h"
#include "RoundButton.h"
#include "SegmentedPicker.h"
#include "Shake.h"
#include "TempoRig.h"
#include "TextLabel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace {

class TempoViewTest : public ::testing::Test, protected TempoRig {
protected:
    TempoViewTest() {
        view.show();
        FakeClock::flush();
    }

    // Types a line into the field and presses Return.
    void type(const QString& line) {
        QLineEdit* edit = view.field()->edit();
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, line);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    TempoView view{metronome, speaker, settings, ui, mascot, clock};
};

TEST_F(TempoViewTest, TypedTempoIsClampedAndStartsTheMetronome) {
    const struct {
        QString line;
        int bpm;
    } cases[] = {{"300", 260}, {"10", 30}, {"allegro", 138}, {"90 bpm", 90}};
    for (const auto& c : cases) {
        metronome.stop();
        type(c.line);
        EXPECT_EQ(metronome.bpm(), c.bpm) << c.line.toStdString();
        EXPECT_TRUE(metronome.running()) << c.line.toStdString();
        EXPECT_TRUE(view.field()->text().isEmpty());
        EXPECT_EQ(view.tempoLabel()->text(), QString::number(c.bpm));
    }
}

TEST_F(TempoViewTest, TypedTempoNeverStopsARunningMetronome) {
    metronome.start();
    const QDateTime startedAt = metronome.startedAt();
    run(1000);
    type("120");
    EXPECT_TRUE(metronome.running());
    EXPECT_EQ(metronome.bpm(), 120);
    EXPECT_EQ(metronome.startedAt(), startedAt);
}

TEST_F(TempoViewTest, VerbsAndEmptyLineToggle) {
    const QString lines[] = {"P", " stop ", "START", "", "p", "\tStop"};
    bool running = false;
    for (const auto& line : lines) {
        type(line);
        running = !running;
        EXPECT_EQ(metronome.running(), running) << line.toStdString();
    }
    EXPECT_EQ(metronome.bpm(), 100);
}

TEST_F(TempoViewTest, RejectedLineShakesAndClearsWithoutChangingAnything) {
    for (const QString line : {"hello", "p 5", "13/4"}) {
        const int shakes = view.shake()->count();
        type(line);
        EXPECT_EQ(view.shake()->count(), shakes + 1) << line.toStdString();
        EXPECT_EQ(mascot.icon(), QStringLiteral("oops"));
        EXPECT_TRUE(view.field()->text().isEmpty());
    }
    EXPECT_FALSE(metronome.running());
    EXPECT_EQ(metronome.bpm(), 100);
    EXPECT_EQ(metronome.beats(), 4);
}

TEST_F(TempoViewTest, SignatureOnTheFourthBeatRestartsTheBar) {
    metronome.setBpm(120);
    QList<int> heard;
    QObject::connect(&metronome, &Metronome::ticked, [&](int n, bool) { heard.append(n); });
    metronome.start();
    // Play until the fourth beat is the next one to be scheduled.
    int guard = 0;
    while (metronome.n() != 3 && ++guard < 1000)
        run(10);
    ASSERT_EQ(metronome.n(), 3);
    type("3/4 90");
    EXPECT_EQ(metronome.beats(), 3);
    EXPECT_EQ(metronome.bpm(), 90);
    EXPECT_EQ(metronome.n(), 0);
    EXPECT_TRUE(metronome.running());
    heard.clear();
    run(3000);
    // Already scheduled clicks play out; the next scheduled click is beat one of a 3/4 bar.
    ASSERT_GE(heard.size(), 4);
    const qsizetype restart = heard.indexOf(0);
    ASSERT_GE(restart, 0);
    EXPECT_LE(restart, 1);
    EXPECT_EQ(heard.mid(restart, 4), (QList<int>{0, 1, 2, 0}));
}

TEST_F(TempoViewTest, BeatsPickerResetsTheCounterOnlyWhenItIsBeyondTheBar) {
    metronome.start();
    int guard = 0;
    while (metronome.n() != 2 && ++guard < 1000)
        run(10);
    ASSERT_EQ(metronome.n(), 2);
    SegmentedPicker* picker = view.beatsPicker();
    picker->resize(240, 24);
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(4).center()); // 6
    EXPECT_EQ(metronome.beats(), 6);
    EXPECT_EQ(metronome.n(), 2);
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(0).center()); // 2
    EXPECT_EQ(metronome.beats(), 2);
    EXPECT_EQ(metronome.n(), 0);
}

TEST_F(TempoViewTest, StepButtonsStopAtTheLimits) {
    int changes = 0;
    QObject::connect(&metronome, &Metronome::bpmChanged, [&] { ++changes; });
    metronome.setBpm(30);
    changes = 0;
    QTest::mouseClick(view.minusButton(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 30);
    EXPECT_EQ(changes, 0);
    QTest::mouseClick(view.plusButton(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 31);

    metronome.setBpm(260);
    changes = 0;
    QTest::mouseClick(view.plusButton(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 260);
    EXPECT_EQ(changes, 0);
    QTest::mouseClick(view.minusButton(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 259);
}

TEST_F(TempoViewTest, DotsFollowBeatsAccentAndTheBeatHeard) {
    metronome.setBeats(3);
    BeatDots* dots = view.dots();
    ASSERT_EQ(dots->count(), 3);
    EXPECT_EQ(dots->diameter(0), 11);
    EXPECT_EQ(dots->diameter(1), 8);
    EXPECT_EQ(dots->diameter(2), 8);
    QTest::mouseClick(view.accentChip(), Qt::LeftButton);
    EXPECT_FALSE(metronome.accent());
    EXPECT_FALSE(view.accentChip()->accent());
    EXPECT_EQ(dots->diameter(0), 8);

    metronome.start();
    int guard = 0;
    while (metronome.beat() != 1 && ++guard < 1000)
        run(10);
    ASSERT_EQ(metronome.beat(), 1);
    // The change fades in over 80 ms.
    EXPECT_LT(dots->lit(1), 1.0);
    dots->fade()->setCurrentTime(BeatDots::fadeMs);
    EXPECT_EQ(dots->lit(0), 0.0);
    EXPECT_EQ(dots->lit(1), 1.0);
    EXPECT_EQ(dots->lit(2), 0.0);
}

TEST_F(TempoViewTest, StatusLineShowsNameSignatureAndPracticeTime) {
    metronome.setBpm(120);
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Allegro · 4/4"));
    metronome.setBpm(119);
    metronome.setBeats(3);
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4"));
    metronome.start();
    run(65000);
    // Refreshed by the once-a-second tick, not only by metronome changes.
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4 · 01:05 of practice"));
    metronome.stop();
    EXPECT_EQ(view.statusLabel()->text(), QStringLiteral("Moderato · 3/4"));
}

TEST_F(TempoViewTest, StartButtonFollowsTheMetronome) {
    PillButton* pill = view.startButton();
    EXPECT_EQ(pill->title(), QStringLiteral("Start tempo"));
    EXPECT_FALSE(pill->accent());
    QTest::mouseClick(pill, Qt::LeftButton);
    EXPECT_TRUE(metronome.running());
    EXPECT_EQ(pill->title(), QStringLiteral("Stop"));
    EXPECT_TRUE(pill->primary());
    EXPECT_TRUE(pill->accent());
    QTest::mouseClick(pill, Qt::LeftButton);
    EXPECT_FALSE(metronome.running());
}

TEST_F(TempoViewTest, TapsSetTheTempoButNeverStartOrStop) {
    const double y0 = mascot.spring(MascotBrain::Btn).v;
    QTest::mouseClick(view.tapChip(), Qt::LeftButton);
    EXPECT_EQ(mascot.spring(MascotBrain::Btn).v, y0 + 208);
    clock.advance(500);
    QTest::mouseClick(view.mascotView(), Qt::LeftButton);
    EXPECT_EQ(metronome.bpm(), 120);
    // Quick taps on the mascot arrive as double clicks; they count too.
    clock.advance(250);
    QMouseEvent dclick(QEvent::MouseButtonDblClick, QPointF(32, 32), QPointF(32, 32),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.mascotView(), &dclick);
    EXPECT_EQ(metronome.bpm(), 160);
    EXPECT_FALSE(metronome.running());
    EXPECT_EQ(view.mascotView()->toolTip(), QStringLiteral("Tap the beat"));
}

TEST_F(TempoViewTest, TimersRunOnlyWhileThePageIsShown) {
    EXPECT_TRUE(view.refreshing());
    EXPECT_TRUE(view.mascotView()->ticking());
    view.hide();
    EXPECT_FALSE(view.refreshing());
    EXPECT_FALSE(view.mascotView()->ticking());
    view.show();
    EXPECT_TRUE(view.refreshing());
    EXPECT_TRUE(view.mascotView()->ticking());
}

TEST_F(TempoViewTest, FocusTokenFocusesTheFieldOneTurnLater) {
    QApplication::setActiveWindow(&view);
    view.tapChip()->setFocus();
    ui.bumpFocus();
    EXPECT_FALSE(view.field()->edit()->hasFocus());
    FakeClock::flush();
    EXPECT_TRUE(view.field()->edit()->hasFocus());
}

} // namespace
