#include "PopoverView.h"

#include "FieldBox.h"
#include "IconButton.h"
#include "MascotView.h"
#include "PageFixture.h"
#include "Palette.h"
#include "SegmentedPicker.h"
#include "SettingsView.h"
#include "TempoView.h"
#include "TimerEngine.h"
#include "TimerView.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

class PopoverViewTest : public ::testing::Test, protected PageFixture {
protected:
    PopoverViewTest() {
        view.show();
        FakeClock::flush();
    }

    // Clicks a segment of the mode switch, as the user would.
    void pick(const QString& mode) {
        SegmentedPicker* picker = view.modePicker();
        const int index = static_cast<int>(PopoverView::modes().indexOf(mode));
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center());
    }

    TimerEngine engine{settings, speaker, clock};
    PopoverView view{engine, speaker, settings, ui, metronome, mascot, clock};
};

TEST_F(PopoverViewTest, SwitchingModesStopsWhatTheOldPageRan) {
    EXPECT_EQ(view.currentPage(), view.timerView());
    // The field keeps its name for screen readers while its placeholder follows the mode.
    const QString fieldName = view.timerView()->field()->edit()->accessibleName();
    engine.start(Command{Kind::Timer, 300, {}});
    pick("tempo");
    EXPECT_EQ(engine.state(), TimerEngine::State::Idle);
    EXPECT_EQ(Settings(dirs.settingsFile()).mode(), QStringLiteral("tempo"));
    EXPECT_EQ(ui.focusToken(), 1);
    EXPECT_TRUE(view.tempoView()->isVisible());
    EXPECT_FALSE(view.timerView()->isVisible());

    metronome.start();
    pick("stopwatch");
    EXPECT_FALSE(metronome.running());
    EXPECT_EQ(view.currentPage(), view.timerView());
    EXPECT_FALSE(fieldName.isEmpty());
    EXPECT_EQ(view.timerView()->field()->edit()->accessibleName(), fieldName);

    engine.start(Command{Kind::Timer, 2, {}});
    clock.advance(2500);
    ASSERT_EQ(engine.state(), TimerEngine::State::Done);
    pick("timer");
    EXPECT_EQ(engine.state(), TimerEngine::State::Idle);
}

TEST_F(PopoverViewTest, ChoosingTheCurrentModeChangesNothing) {
    settings.setMode("tempo");
    metronome.start();
    const int token = ui.focusToken();
    pick("tempo");
    view.chooseMode("tempo");
    EXPECT_TRUE(metronome.running());
    EXPECT_EQ(ui.focusToken(), token);

    settings.setMode("timer");
    engine.start(Command{Kind::Timer, 300, {}});
    pick("timer");
    EXPECT_EQ(engine.state(), TimerEngine::State::Running);
    EXPECT_EQ(ui.focusToken(), token);
}

TEST_F(PopoverViewTest, MuteButtonShowsTheMutedStateAtAGlance) {
    IconButton* mute = view.muteButton();
    EXPECT_EQ(mute->toolTip(), QStringLiteral("Mute"));
    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_TRUE(settings.muted());
    EXPECT_EQ(mute->symbol(), QStringLiteral("speaker.slash.fill"));
    EXPECT_EQ(mute->toolTip(), QStringLiteral("Unmute"));
    EXPECT_EQ(mute->tint(), std::optional<QColor>(Palette::pobi));
    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_FALSE(settings.muted());
    EXPECT_FALSE(mute->tint().has_value());
}

TEST_F(PopoverViewTest, NothingAnimatesWhileThePopupIsClosed) {
    settings.setMode("tempo");
    EXPECT_TRUE(view.tempoView()->mascotView()->ticking());
    EXPECT_TRUE(view.tempoView()->refreshing());
    view.hide();
    EXPECT_FALSE(view.tempoView()->refreshing());
    for (auto* m : view.findChildren<MascotView*>())
        EXPECT_FALSE(m->ticking());
    view.show();
    EXPECT_TRUE(view.tempoView()->mascotView()->ticking());
    // The hidden timer page's mascot stays still.
    for (auto* m : view.timerView()->findChildren<MascotView*>())
        EXPECT_FALSE(m->ticking());
}

// Whatever brings a page to the front, the keys typed next reach that page's own field.
TEST_F(PopoverViewTest, KeyboardFollowsThePageShown) {
    QApplication::setActiveWindow(&view);
    auto type = [](const QString& line) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, line);
        QTest::keyClick(focus, Qt::Key_Return);
        FakeClock::flush();
    };
    auto expectFocusIn = [this](QWidget* page, const char* step) {
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus && focus->isVisible() && page->isAncestorOf(focus)) << step;
    };
    settings.setMode("tempo"); // the stored mode as the popup opens
    ui.bumpFocus();
    FakeClock::flush();
    type("90");
    EXPECT_EQ(metronome.bpm(), 90);
    EXPECT_TRUE(metronome.running());
    EXPECT_EQ(engine.state(), TimerEngine::State::Idle);

    pick("timer");
    FakeClock::flush();
    type("120 bpm");
    expectFocusIn(view.tempoView(), "typed tempo");
    pick("timer");
    FakeClock::flush();
    type("settings");
    EXPECT_EQ(QApplication::focusWidget(), view.settingsView()->backButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    FakeClock::flush();
    expectFocusIn(view.timerView(), "back");
    type("1m");
    EXPECT_EQ(engine.state(), TimerEngine::State::Running);
}

// Tab and Shift+Tab visit every control of the page in front once, in reading order, and wrap.
TEST_F(PopoverViewTest, TabReachesEveryControlInReadingOrder) {
    QApplication::setActiveWindow(&view);
    view.resize(view.sizeHint());
    settings.remember("tea");
    settings.remember("5m");
    const std::function<void()> states[] = {
        [] {},
        [this] { settings.setMode("stopwatch"); },
        [this] {
            engine.start(Command{Kind::Stopwatch, 0, {}});
        },
        [this] { settings.setMode("tempo"); },
        [this] { ui.setShowSettings(true); },
    };
    for (const auto& enter : states) {
        enter();
        view.resize(view.sizeHint());
        view.layout()->activate();
        FakeClock::flush();
        QWidget* page = view.currentPage();
        QList<QWidget*> expected;
        for (QWidget* w : view.findChildren<QWidget*>())
            if (w->isVisibleTo(&view) && (w->focusPolicy() & Qt::TabFocus) &&
                (w->parentWidget() == view.modePicker()->parentWidget() || page->isAncestorOf(w)))
                expected << w;
        const int n = int(expected.size());
        QList<QWidget*> forward, backward;
        QWidget* start = QApplication::focusWidget();
        for (int i = 0; i < n; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget();
        }
        for (int i = 0; i < n; ++i) {
            backward.prepend(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        }
        EXPECT_EQ(forward.last(), start);
        EXPECT_EQ(QApplication::focusWidget(), start);
        EXPECT_EQ(backward, forward);
        for (QWidget* w : expected)
            EXPECT_EQ(forward.count(w), 1) << w->metaObject()->className();
        // Reading order: from the first control, each stop is right of the last on the same
        // row, or on a lower row.
        auto at = [this](QWidget* w) { return QRect(w->mapTo(&view, QPoint()), w->size()); };
        auto sameRow = [](const QRect& a, const QRect& b) {
            return b.top() < a.bottom() && a.top() < b.bottom();
        };
        const QRect topmost =
            at(*std::min_element(forward.begin(), forward.end(),
                                 [&](auto* a, auto* b) { return at(a).top() < at(b).top(); }));
        const auto top = std::min_element(forward.begin(), forward.end(), [&](auto* a, auto* b) {
            return std::pair(!sameRow(topmost, at(a)), at(a).left()) <
                   std::pair(!sameRow(topmost, at(b)), at(b).left());
        });
        std::rotate(forward.begin(), top, forward.end());
        for (int i = 1; i < n; ++i) {
            const QRect a = at(forward[i - 1]), b = at(forward[i]);
            EXPECT_TRUE(sameRow(a, b) ? b.left() > a.left() : b.top() > a.top())
                << forward[i]->metaObject()->className() << " after "
                << forward[i - 1]->metaObject()->className();
        }
    }
}

} // namespace
