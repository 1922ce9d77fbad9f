#include "PopoverView.h"

#include "FieldBox.h"
#include "IconButton.h"
#include "MascotView.h"
#include "PageFixture.h"
#include "Palette.h"
#include "SegmentedPicker.h"
#include "TempoView.h"
#include "TimerEngine.h"
#include "TimerView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
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

TEST_F(PopoverViewTest, FocusingThePopupReachesTheShownPagesField) {
    QApplication::setActiveWindow(&view);
    view.setFocus();
    EXPECT_TRUE(view.timerView()->field()->edit()->hasFocus());
    pick("tempo");
    FakeClock::flush();
    EXPECT_TRUE(view.tempoView()->field()->edit()->hasFocus());
    view.modePicker()->setFocus();
    view.setFocus();
    EXPECT_TRUE(view.tempoView()->field()->edit()->hasFocus());
}

} // namespace
