#include "PopoverView.h"

#include "FieldBox.h"
#include "IconButton.h"
#include "MascotView.h"
#include "PageFixture.h"
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
    const int token = ui.focusToken();
    for (const char* mode : {"tempo", "timer"}) {
        settings.setMode(mode);
        metronome.start();
        engine.start(Command{Kind::Timer, 300, {}});
        pick(mode);
        EXPECT_TRUE(metronome.running() && engine.state() == TimerEngine::State::Running) << mode;
        EXPECT_EQ(ui.focusToken(), token);
    }
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
        QTest::keyClicks(QApplication::focusWidget(), line);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        FakeClock::flush();
    };
    settings.setMode("tempo"); // the stored mode as the popup opens
    ui.bumpFocus();
    FakeClock::flush();
    type("90");
    EXPECT_EQ(metronome.bpm(), 90);
    EXPECT_EQ(engine.state(), TimerEngine::State::Idle);
    pick("timer");
    type("120 bpm");
    EXPECT_EQ(QApplication::focusWidget(), view.tempoView()->field()->edit());
    pick("timer");
    type("settings");
    EXPECT_EQ(QApplication::focusWidget(), view.settingsView()->backButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    type("1m");
    EXPECT_EQ(engine.state(), TimerEngine::State::Running);
}

// Tab and Shift+Tab visit every control of the page in front once, in reading order, and wrap.
TEST_F(PopoverViewTest, TabReachesEveryControlInReadingOrder) {
    QApplication::setActiveWindow(&view);
    settings.remember("tea");
    const std::function<void()> states[] = {[] {},
                                            [this] {
                                                engine.start(Command{Kind::Stopwatch, 0, {}});
                                            },
                                            [this] { settings.setMode("tempo"); },
                                            [this] { ui.setShowSettings(true); }};
    auto at = [this](QWidget* w) { return QRect(w->mapTo(&view, QPoint()), w->size()); };
    for (const auto& enter : states) {
        enter();
        view.resize(view.sizeHint());
        FakeClock::flush();
        QList<QWidget*> all, forward, backward;
        for (QWidget* w : view.findChildren<QWidget*>())
            if (w->isVisibleTo(&view) && (w->focusPolicy() & Qt::TabFocus))
                all << w;
        for (qsizetype i = 0; i < all.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget();
        }
        for (qsizetype i = 0; i < all.size(); ++i) {
            backward.prepend(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        }
        EXPECT_EQ(backward, forward);
        EXPECT_EQ(QSet<QWidget*>(forward.begin(), forward.end()),
                  QSet<QWidget*>(all.begin(), all.end()));
        // From the top left, each stop is right of the last on its row, or on a lower row.
        std::rotate(forward.begin(),
                    std::min_element(forward.begin(), forward.end(),
                                     [&](QWidget* a, QWidget* b) {
                                         return std::pair(at(a).center().y(), at(a).left()) <
                                                std::pair(at(b).center().y(), at(b).left());
                                     }),
                    forward.end());
        for (qsizetype i = 1; i < forward.size(); ++i) {
            const QRect a = at(forward[i - 1]), b = at(forward[i]);
            const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
            EXPECT_TRUE(sameRow ? b.left() > a.left() : b.top() > a.top())
                << forward[i]->metaObject()->className();
        }
    }
}

} // namespace
