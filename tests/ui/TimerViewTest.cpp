#include "TimerView.h"

#include "Caption.h"
#include "ChipButton.h"
#include "EveryPicker.h"
#include "FakeAudioPlayer.h"
#include "FieldBox.h"
#include "MascotBrain.h"
#include "MascotButton.h"
#include "Metronome.h"
#include "PageFixture.h"
#include "PillButton.h"
#include "PopoverUI.h"
#include "SegmentedPicker.h"
#include "Shake.h"
#include "TextLabel.h"
#include "TimerEngine.h"
#include "Tone.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using State = TimerEngine::State;

struct TimerPage : PageFixture {
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    TimerEngine engine{settings, speaker, clock};
    PopoverUI ui;
    MascotBrain mascot{MascotBrain::Mood::Content, false, [] { return 0.5; }};
    int closes = 0;
    int quits = 0;
    QWidget frame; // the popup's margins around the page
    TimerView* view = new TimerView(engine, speaker, settings, ui, metronome, mascot, clock);

    TimerPage() {
        ui.setClose([this] { ++closes; });
        view->setQuit([this] { ++quits; });
        auto* layout = new QVBoxLayout(&frame);
        layout->setContentsMargins(18, 18, 18, 18);
        layout->addWidget(view);
        frame.setAutoFillBackground(true);
        frame.resize(340, 480);
        frame.show();
    }

    // Types text into the field and presses Return.
    void enter(const QString& text) {
        QLineEdit* edit = view->field()->edit();
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString field() const { return view->text(); }
};

} // namespace

TEST(TimerView, VerbsMatchTheWholeTrimmedLowerCasedLine) {
    TimerPage page;
    page.enter(QStringLiteral("25m"));
    ASSERT_EQ(page.engine.state(), State::Running);

    page.enter(QStringLiteral("P"));
    EXPECT_EQ(page.engine.state(), State::Paused);
    EXPECT_EQ(page.field(), QString());
    page.enter(QStringLiteral(" pause\t"));
    EXPECT_EQ(page.engine.state(), State::Running);
    page.enter(QStringLiteral("resume")); // the same toggle: pauses a running timer
    EXPECT_EQ(page.engine.state(), State::Paused);

    page.enter(QStringLiteral("p 5")); // not a verb, and not a timer either
    EXPECT_EQ(page.engine.state(), State::Paused);
    EXPECT_EQ(page.field(), QStringLiteral("p 5"));
    EXPECT_EQ(page.view->shake()->count(), 1);

    struct Case {
        const char* line;
        bool muted;
    } mutes[] = {{"MUTE", true}, {"m", false}, {"m", true}, {"unmute", false}};
    for (const Case& c : mutes) {
        page.enter(QString::fromLatin1(c.line));
        EXPECT_EQ(page.settings.muted(), c.muted) << c.line;
        EXPECT_EQ(page.field(), QString());
    }

    page.speech.clear();
    page.enter(QStringLiteral("t"));
    EXPECT_EQ(page.said().size(), 1); // the time left
    page.enter(QStringLiteral(","));
    EXPECT_TRUE(page.ui.showSettings());
    page.ui.setShowSettings(false);
    page.enter(QStringLiteral("Settings"));
    EXPECT_TRUE(page.ui.showSettings());
    page.enter(QStringLiteral("x"));
    EXPECT_EQ(page.engine.state(), State::Idle);
    page.enter(QStringLiteral("quit"));
    EXPECT_EQ(page.quits, 1);
    EXPECT_EQ(page.closes, 0); // verbs leave the popup open
}

TEST(TimerView, LapVerbAndButtonsDuringAStopwatch) {
    TimerPage page;
    page.enter(QString());
    ASSERT_EQ(page.engine.state(), State::Running);
    EXPECT_EQ(page.engine.kind(), Kind::Stopwatch);
    EXPECT_EQ(page.settings.mode(), QStringLiteral("stopwatch"));
    EXPECT_TRUE(page.view->lapButton()->isVisibleTo(page.view));

    page.clock.advance(1234);
    page.enter(QStringLiteral("l"));
    page.clock.advance(65'430); // 65.43 s must not show as .42 through binary rounding
    page.view->lapButton()->click();
    for (int i = 0; i < 3; ++i) {
        page.clock.advance(61'005 + i * 10);
        page.view->lapButton()->click();
    }
    ASSERT_EQ(page.engine.laps().size(), 5);
    const QStringList rows = page.view->lapRows();
    ASSERT_EQ(rows.size(), 4); // the last four, newest first
    EXPECT_EQ(rows.first(), QStringLiteral("Lap 5\t01:01.02"));
    EXPECT_EQ(rows.last(), QStringLiteral("Lap 2\t01:05.43"));
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Stopwatch"));
    EXPECT_EQ(page.view->hint(), QStringLiteral("Type l for a lap \u00B7 p to pause \u00B7 stop"));

    page.view->pauseButton()->click();
    EXPECT_EQ(page.engine.state(), State::Paused);
    EXPECT_EQ(page.view->pauseButton()->title(), QStringLiteral("Resume"));
    page.view->stopButton()->click();
    EXPECT_EQ(page.engine.state(), State::Idle);
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Return to start. Type l for laps."));
    EXPECT_TRUE(page.view->stopwatchButton()->isVisibleTo(page.view));
    EXPECT_EQ(page.view->field()->edit()->placeholderText(), QStringLiteral("Type l, p or stop"));
}

TEST(TimerView, ReturnOnAnEmptyFieldFollowsTheEngineState) {
    TimerPage page;
    page.enter(QStringLiteral("10m"));
    page.clock.advance(1000);
    page.enter(QStringLiteral("  ")); // blanks only: pauses, and the field keeps them
    EXPECT_EQ(page.engine.state(), State::Paused);
    EXPECT_EQ(page.field(), QStringLiteral("  "));
    page.enter(QString());
    EXPECT_EQ(page.engine.state(), State::Running);
    EXPECT_EQ(page.engine.kind(), Kind::Timer);
    page.enter(QStringLiteral("stop"));
    page.enter(QString());
    EXPECT_EQ(page.engine.state(), State::Running);
    EXPECT_EQ(page.engine.kind(), Kind::Stopwatch);
}

TEST(TimerView, BareNumberIsATimerButWithBpmATempo) {
    TimerPage page;
    page.enter(QStringLiteral("120"));
    EXPECT_EQ(page.engine.total(), 7200);
    EXPECT_EQ(page.settings.mode(), QStringLiteral("timer"));

    page.enter(QStringLiteral("120 bpm"));
    EXPECT_EQ(page.engine.state(), State::Idle);
    EXPECT_TRUE(page.metronome.running());
    EXPECT_EQ(page.metronome.bpm(), 120);
    EXPECT_EQ(page.settings.mode(), QStringLiteral("tempo"));
    EXPECT_EQ(page.field(), QString());
    EXPECT_EQ(page.closes, 0);

    page.enter(QStringLiteral("999 bpm"));
    EXPECT_EQ(page.metronome.bpm(), 260);
    page.enter(QStringLiteral("tempo 10"));
    EXPECT_EQ(page.metronome.bpm(), 30);
    page.enter(QStringLiteral("3/4 90"));
    EXPECT_EQ(page.metronome.beats(), 3);
    EXPECT_EQ(page.metronome.bpm(), 90);
    EXPECT_LT(page.metronome.n(), 3);
    page.enter(QStringLiteral("metronome"));
    EXPECT_EQ(page.metronome.bpm(), 90);
    EXPECT_TRUE(page.metronome.running());
}

TEST(TimerView, SuccessRemembersTheLineAndClosesLater) {
    TimerPage page;
    page.enter(QStringLiteral("  25m Pasta "));
    EXPECT_EQ(page.engine.total(), 1500);
    EXPECT_EQ(page.engine.label(), QStringLiteral("Pasta"));
    EXPECT_EQ(page.settings.recents(), QStringList{QStringLiteral("25m Pasta")});
    EXPECT_EQ(page.field(), QString());
    page.clock.advance(899);
    EXPECT_EQ(page.closes, 0);
    page.clock.advance(1);
    EXPECT_EQ(page.closes, 1);
}

TEST(TimerView, FailureKeepsTheLineShakesAndSaysOops) {
    TimerPage page;
    page.enter(QStringLiteral("when the pasta is soft"));
    EXPECT_EQ(page.field(), QStringLiteral("when the pasta is soft"));
    EXPECT_EQ(page.engine.state(), State::Idle);
    EXPECT_EQ(page.view->shake()->count(), 1);
    EXPECT_TRUE(page.view->shake()->running());
    EXPECT_EQ(page.mascot.icon(), QStringLiteral("oops"));
    EXPECT_TRUE(page.settings.recents().isEmpty());
    EXPECT_TRUE(page.said().isEmpty());
    page.clock.advance(2000);
    EXPECT_EQ(page.closes, 0);
}

TEST(TimerView, PreviewShowsWhatReturnWouldDo) {
    TimerPage page;
    page.metronome.setBpm(100);
    const struct {
        const char* typed;
        std::optional<QString> shown;
    } cases[] = {
        {"", std::nullopt},
        {"stop", std::nullopt},
        {"25m", QStringLiteral("25:00")},
        {"1h30", QStringLiteral("1:30:00")},
        {"sw", QStringLiteral("Stopwatch")},
        {"120 bpm", QStringLiteral("\u2669 120")},
        {"metronome", QStringLiteral("\u2669 100")},
        {"nonsense", std::nullopt},
    };
    for (const auto& c : cases) {
        page.view->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(page.view->preview(), c.shown) << c.typed;
        EXPECT_EQ(page.view->previewLabel()->isVisibleTo(page.view), c.shown.has_value());
    }
}

TEST(TimerView, NextLineHintOnlyWithinTenMinutes) {
    TimerPage page;
    page.settings.setEvery(0);
    page.settings.setHalfway(false);
    page.settings.setLastMinute(true);
    page.settings.setCountdown(5);
    page.enter(QStringLiteral("20m"));
    // The last-minute line is 19 minutes away.
    EXPECT_EQ(page.view->hint(),
              QStringLiteral("Type p to pause \u00B7 t for the time \u00B7 stop"));
    page.clock.advance(9 * 60 * 1000); // exactly 600 s before it: not yet
    EXPECT_FALSE(page.view->hint().startsWith(QStringLiteral("Next:")));
    page.clock.advance(500);
    const QString minuteLine = page.engine.next()->line.text;
    EXPECT_EQ(page.view->caption()->hint(), page.view->hint());
    EXPECT_TRUE(page.view->hint().startsWith(QStringLiteral("Next: \u201C")));
    EXPECT_TRUE(page.view->hint().endsWith(QStringLiteral("\u201D in 10:00")));
    EXPECT_FALSE(page.view->hint().contains(u'.')) << page.view->hint().toStdString();

    // Past the last minute the next line is the count.
    page.clock.advance(10 * 60 * 1000);
    EXPECT_EQ(page.view->hint(), QStringLiteral("Next: \u201C"
                                                "countdown"
                                                "\u201D in 00:55"));

    // Paused: no next line.
    page.enter(QStringLiteral("p"));
    EXPECT_EQ(page.view->hint(),
              QStringLiteral("Type p to pause \u00B7 t for the time \u00B7 stop"));
}

TEST(TimerView, NeverAHintForTheEndLine) {
    TimerPage page;
    page.settings.setEvery(0);
    page.settings.setHalfway(false);
    page.settings.setLastMinute(false);
    page.settings.setCountdown(0);
    page.enter(QStringLiteral("2m"));
    ASSERT_TRUE(page.engine.next().has_value());
    EXPECT_EQ(page.engine.next()->line.kind, Line::Kind::End);
    EXPECT_EQ(page.view->hint(),
              QStringLiteral("Type p to pause \u00B7 t for the time \u00B7 stop"));
    page.enter(QStringLiteral("stop"));
    EXPECT_EQ(page.view->hint(), QStringLiteral("Or type 120 bpm for Tempo"));
}

TEST(TimerView, EndTimeHasNoSeconds) {
    const QTime t(14, 30, 45);
    EXPECT_EQ(TimerView::shortTime(t, QLocale::c()), QStringLiteral("14:30"));
    const QString us = TimerView::shortTime(t, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("2:30"))) << us.toStdString();
    EXPECT_FALSE(us.contains(QStringLiteral("45"))) << us.toStdString();
}

TEST(TimerView, SubtitleByState) {
    TimerPage page;
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Type a time. Press return."));
    page.enter(QStringLiteral("10m"));
    const QString at = TimerView::shortTime(page.clock.now().addSecs(600).time(), QLocale());
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Ends at ") + at);
    EXPECT_EQ(page.view->subtitleLabel()->text(), page.view->subtitle());
    page.enter(QStringLiteral("10m tea"));
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Tea \u00B7 ends ") + at);
    page.enter(QStringLiteral("p"));
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Tea \u00B7 Paused"));
    page.enter(QStringLiteral("5s"));
    page.clock.advance(6000);
    EXPECT_EQ(page.engine.state(), State::Done);
    EXPECT_EQ(page.view->subtitle(), QStringLiteral("Done"));
    EXPECT_EQ(page.view->clockLabel()->text(), QStringLiteral("00:00"));
}

TEST(TimerView, RecentChipsRunTheirLine) {
    TimerPage page;
    page.enter(QStringLiteral("5m"));
    page.enter(QStringLiteral("stop"));
    page.enter(QStringLiteral("tea"));
    page.enter(QStringLiteral("stop"));
    const auto chips = page.view->recentChips();
    ASSERT_EQ(chips.size(), 2);
    EXPECT_EQ(chips[0]->text(), QStringLiteral("tea"));
    EXPECT_EQ(chips[1]->text(), QStringLiteral("5m"));
    EXPECT_TRUE(chips[0]->isVisibleTo(page.view));
    QTest::mouseClick(chips[1], Qt::LeftButton);
    EXPECT_EQ(page.engine.total(), 300);
    QCoreApplication::processEvents(); // the old chips go away after their click
    EXPECT_EQ(page.settings.recents().first(), QStringLiteral("5m"));
    EXPECT_FALSE(page.view->recentChips().first()->isVisibleTo(page.view)); // hidden while active
}

TEST(TimerView, IntervalPickerIsLiveOnlyWhileActive) {
    TimerPage page;
    SegmentedPicker* picker = page.view->everyPicker()->picker();
    auto choose = [&](int index) {
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center());
    };
    choose(3);
    EXPECT_EQ(page.settings.every(), 10);
    EXPECT_TRUE(page.said().isEmpty());
    page.enter(QStringLiteral("30m"));
    page.speech.clear();
    choose(0);
    EXPECT_EQ(page.said(), QStringList{QStringLiteral("Okay. Quiet for now.")});
}

TEST(TimerView, MascotSaysTheTimeAndFocusFollowsTheToken) {
    TimerPage page;
    EXPECT_EQ(page.view->mascotButton()->toolTip(), QStringLiteral("Say the time now"));
    QTest::mouseClick(page.view->mascotButton(), Qt::LeftButton);
    EXPECT_EQ(page.said(), QStringList{Tones::hello(Tone::Calm)});

    page.view->mascotButton()->setFocus();
    page.ui.bumpFocus();
    EXPECT_NE(page.frame.focusWidget(), page.view->field()->edit()); // one turn later
    FakeClock::flush();
    EXPECT_EQ(page.frame.focusWidget(), page.view->field()->edit());
}

TEST(TimerView, SnapshotsInLightAndDark) {
    TimerPage page;
    page.settings.setRecents({QStringLiteral("25m pasta"), QStringLiteral("tea"),
                              QStringLiteral("1h30"), QStringLiteral("at 3pm")});
    const auto grab = [&](const QString& name) {
        for (const bool dark : {false, true}) {
            page.frame.setPalette(dark ? darkPalette() : QPalette());
            page.frame.resize(340, page.frame.sizeHint().height());
            const QImage img = page.frame.grab().toImage();
            ASSERT_FALSE(img.isNull());
            EXPECT_EQ(img.width(), 340);
            EXPECT_TRUE(img.save(
                snapshotPath(page.dirs, name + QLatin1String(dark ? "-dark.png" : "-light.png"))));
        }
    };
    page.view->setText(QStringLiteral("25m pasta"));
    grab(QStringLiteral("timer-idle"));
    page.enter(QStringLiteral("sw"));
    for (int i = 0; i < 3; ++i) {
        page.clock.advance(65'430);
        page.enter(QStringLiteral("l"));
    }
    grab(QStringLiteral("timer-stopwatch"));
    page.enter(QStringLiteral("25m tea"));
    page.clock.advance(16 * 60 * 1000);
    page.speaker.say(QStringLiteral("9 minutes left."), page.settings);
    grab(QStringLiteral("timer-running"));
}

TEST(TimerView, EveryControlHasAnAccessibleName) {
    TimerPage page;
    page.settings.setRecents({QStringLiteral("tea")});
    page.enter(QStringLiteral("sw"));
    for (QWidget* w : page.view->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
}

TEST(TimerView, RecentChipsThatDoNotFitAreLeftOutWithoutWideningThePage) {
    TimerPage page;
    page.settings.setRecents({QStringLiteral("until 17:45 standup"), QStringLiteral("25m pasta"),
                              QStringLiteral("1h30 deep work"), QStringLiteral("tea")});
    page.frame.resize(340, page.frame.sizeHint().height());
    QCoreApplication::processEvents();
    EXPECT_LE(page.frame.minimumSizeHint().width(), 340);
    const auto chips = page.view->recentChips();
    ASSERT_EQ(chips.size(), 4);
    EXPECT_TRUE(chips[0]->isVisibleTo(page.view));
    EXPECT_FALSE(chips[3]->isVisibleTo(page.view) && chips[2]->isVisibleTo(page.view));
    for (ChipButton* chip : chips) {
        if (chip->isVisibleTo(page.view)) {
            EXPECT_LE(chip->geometry().right(), chip->parentWidget()->width());
        }
    }
}
