#include "ui/pages/PopoverView.h"

#include "PageFixture.h"
#include "ui/controls/IconButton.h"
#include "ui/mascot/MascotView.h"
#include "ui/pages/SettingsView.h"
#include "ui/pages/TempoView.h"
#include "ui/pages/TimerView.h"
#include "ui/tray/PopupWindow.h"
#include "ui/widgets/Caption.h"
#include "ui/widgets/FieldBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class PopoverViewTest : public ::testing::Test, protected PageFixture {
protected:
    PopoverViewTest() {
        view.show();
        FakeClock::flush();
    }

    void pick(const char* mode) { choose(view.modePicker(), QString::fromLatin1(mode)); }

    PopoverView view{engine, speaker, settings, ui, metronome, mascot, clock, interpreter};
};

TEST_F(PopoverViewTest, SwitchingModesStopsWhatTheOldPageRanAndOnlyThePageInFrontAnimates) {
    engine.start(Command{Command::Kind::Timer, 300, {}});
    metronome.start();
    pick("Timer");
    EXPECT_TRUE(metronome.running() && engine.state() == TimerEngine::State::Running);

    // The metronome is the Tempo page's: a switch there leaves it running.
    pick("Tempo");
    EXPECT_TRUE(metronome.running() && engine.state() == TimerEngine::State::Idle);
    // Only the mascot of the page in front moves, and only while the popup is open.
    for (const bool open : {true, false, true}) {
        view.setVisible(open);
        EXPECT_EQ(view.tempoView()->refreshing(), open);
        for (auto* m : view.findChildren<MascotView*>())
            EXPECT_EQ(m->ticking(), open && m == view.tempoView()->mascotView()) << open;
    }

    pick("Stopwatch");
    EXPECT_FALSE(metronome.running());
    EXPECT_EQ(view.currentPage(), view.timerView());
    // A finished timer is put away too.
    engine.start(Command{Command::Kind::Timer, 2, {}});
    clock.advance(2500);
    ASSERT_EQ(engine.state(), TimerEngine::State::Done);
    pick("Timer");
    EXPECT_EQ(engine.state(), TimerEngine::State::Idle);
}

// Whatever brings a page to the front, the keyboard goes to that page's own field: the popup
// opening, a mode switch, a line that opens another page, and Back. From there Tab visits every
// control of the page in front, each once before it wraps.
TEST_F(PopoverViewTest, KeyboardFollowsThePageShownAndTabReachesEveryControl) {
    QApplication::setActiveWindow(&view);
    QLineEdit* timerField = view.timerView()->field()->edit();
    QLineEdit* tempoField = view.tempoView()->field()->edit();
    const auto focused = [] {
        FakeClock::flush();
        return QApplication::focusWidget();
    };
    settings.setMode(Settings::Mode::Tempo); // the stored mode as the popup opens
    ui.bumpFocus();
    EXPECT_EQ(focused(), tempoField);
    pick("Timer");
    EXPECT_EQ(focused(), timerField);
    enter(timerField, QStringLiteral("120 bpm"));
    EXPECT_EQ(focused(), tempoField);
    pick("Timer");
    enter(timerField, QStringLiteral("settings"));
    EXPECT_EQ(focused(), view.settingsView()->backButton());
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_EQ(focused(), timerField);

    settings.remember("tea");
    const std::function<void()> states[] = {
        [] {},
        [this] {
            engine.start(Command{Command::Kind::Stopwatch, 0, {}});
        },
        [this] { settings.setMode(Settings::Mode::Tempo); }, [this] { ui.setShowSettings(true); }};
    for (const auto& reach : states) {
        reach();
        FakeClock::flush();
        QList<QWidget*> all, forward;
        for (QWidget* w : view.findChildren<QWidget*>())
            if (w->isVisibleTo(&view) && (w->focusPolicy() & Qt::TabFocus))
                all << w;
        for (qsizetype i = 0; i < all.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget();
        }
        EXPECT_EQ(QSet<QWidget*>(forward.begin(), forward.end()),
                  QSet<QWidget*>(all.begin(), all.end()));
    }
}

// The popup as the tray opens it: the page inside the window that follows its height.
TEST(PopoverLayout, GrowsWithARunningTimerAndAWrappedCaptionAndShrinksBack) {
    PageFixture f;
    PopupWindow window;
    auto* view = new PopoverView{f.engine,    f.speaker, f.settings, f.ui,
                                 f.metronome, f.mascot,  f.clock,    f.interpreter};
    window.setContent(view);
    window.popup(QRect(500, 0, 20, 20));
    const TimerView* page = view->timerView();
    // Lets nested layouts pass their new size up to the window, as the event loop would, then
    // checks that the page has the height it asks for, the wrapping caption's included.
    auto fits = [&] {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            FakeClock::flush();
        }
        EXPECT_EQ(window.height(), view->height());
        EXPECT_GE(view->height(), view->heightForWidth(PopoverView::contentWidth));
        EXPECT_GE(page->caption()->height(), page->caption()->heightForWidth(page->width()));
        return window.height();
    };
    const int idle = fits();
    f.engine.start(Command{Command::Kind::Timer, 1500, QStringLiteral("Pasta")});
    const int running = fits(); // with the row of Pause and Stop
    EXPECT_GT(running, idle);

    f.speaker.say(QStringLiteral("Pasta. Twenty-five minutes. Starting now, and this sentence "
                                 "goes on long enough to wrap."),
                  f.settings);
    EXPECT_GT(fits(), running); // the caption on more lines, none of them cut
    f.speech.finish();
    f.engine.stop();
    EXPECT_EQ(fits(), idle);
}

} // namespace
