#include "ui/pages/TimerView.h"

#include "PageFixture.h"
#include "core/text/Words.h"
#include "ui/controls/ChipButton.h"
#include "ui/controls/EveryPicker.h"
#include "ui/controls/PillButton.h"
#include "ui/widgets/Caption.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Shake.h"
#include "ui/widgets/TextLabel.h"

#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TimerPage : PageFixture {
    int closes = 0;
    int quits = 0;
    TimerView view{engine, speaker, settings, ui, metronome, mascot, clock, interpreter};

    TimerPage() {
        ui.setClose([this] { ++closes; });
        view.setQuit([this] { ++quits; });
        view.resize(304, 444); // the room inside the popup's margins
        view.show();
    }

    void enter(const QString& text) { PageFixture::enter(view.field()->edit(), text); }
};

const QString activeHint = QStringLiteral("Type p to pause \u00B7 t for the time \u00B7 stop");

} // namespace

TEST(TimerView, TakenLinesLeaveTheFieldRefusedOnesShakeAndAStartClosesThePopupLater) {
    TimerPage page;
    // Blanks pause as an empty line does and stay typed; settings and quitting are carried out
    // here, and only a start closes the popup, 900 ms later.
    const struct {
        const char* line;
        const char* left;
        int shakes, closes;
    } steps[] = {{"when the pasta is soft", "when the pasta is soft", 1, 0},
                 {"25m", "", 1, 1},
                 {"  ", "  ", 1, 1},
                 {"p", "", 1, 1},
                 {",", "", 1, 1},
                 {"quit", "", 1, 1}};
    for (const auto& step : steps) {
        const int closes = page.closes;
        page.enter(QString::fromLatin1(step.line));
        EXPECT_EQ(page.view.text(), QString::fromLatin1(step.left)) << step.line;
        EXPECT_EQ(page.view.shake()->count(), step.shakes) << step.line;
        page.clock.advance(899);
        EXPECT_EQ(page.closes, closes) << step.line;
        page.clock.advance(1);
        EXPECT_EQ(page.closes, step.closes) << step.line;
    }
    EXPECT_EQ(page.mascot.icon(), QStringLiteral("oops")); // from the refused line
    EXPECT_TRUE(page.ui.showSettings() && page.quits == 1);
}

TEST(TimerView, StopwatchLapsShowNewestFirstWithoutRoundingDown) {
    TimerPage page;
    page.enter(QStringLiteral("sw"));
    page.clock.advance(1234);
    page.enter(QStringLiteral("l"));
    page.clock.advance(65'430); // 65.43 s must not show as .42 through binary rounding
    page.view.lapButton()->click();
    for (int i = 0; i < 3; ++i) {
        page.clock.advance(61'005 + i * 10);
        page.view.lapButton()->click();
    }
    const QStringList rows = page.view.lapRows();
    ASSERT_EQ(rows.size(), 4); // the last four of five
    EXPECT_EQ(rows.first(), QStringLiteral("Lap 5\t01:01.02\t04:09.70"));
    EXPECT_EQ(rows.last(), QStringLiteral("Lap 2\t01:05.43\t01:06.66"));
    EXPECT_EQ(page.view.lapCell(3, 1)->text(), QStringLiteral("01:05.43"));
}

TEST(TimerView, NextLineHintOnlyWithinTenMinutesAndTheIntervalIsSaidWhileRunning) {
    TimerPage page;
    page.settings.setEvery(0);
    page.settings.setHalfway(false); // leaves the last minute and the count from 5
    page.enter(QStringLiteral("20m"));
    page.clock.advance(9 * 60 * 1000); // exactly 600 s before the last-minute line: not yet
    EXPECT_EQ(page.view.hint(), activeHint);
    page.clock.advance(500);
    EXPECT_EQ(page.view.caption()->hint(),
              QStringLiteral("Next: \u201COne minute left\u201D in 10:00"));

    page.clock.advance(10 * 60 * 1000); // past the last minute the next line is the count
    EXPECT_EQ(page.view.hint(), QStringLiteral("Next: \u201Ccountdown\u201D in 00:55"));
    page.clock.advance(59'000); // never a hint for the end line
    ASSERT_EQ(page.engine.next()->line.kind, Line::Kind::End);
    EXPECT_EQ(page.view.hint(), activeHint);
    // While it runs, a new interval is said at once (the Settings page's picker is silent).
    PageFixture::choose(page.view.everyPicker()->picker(), QStringLiteral("5m"));
    EXPECT_EQ(page.speech.texts().last(), QStringLiteral("Okay. Every 5 minutes."));
}

TEST(TimerView, EndTimeHasNoSeconds) {
    EXPECT_EQ(Words::shortTime(QTime(14, 30, 45), QLocale::c()), QStringLiteral("14:30"));
    TimerPage page;
    // A time typed is the end shown, whatever the seconds and milliseconds of the start.
    const QString three = Words::shortTime(QTime(15, 0), QLocale());
    for (const int ms : {0, 40'600, 20'400, 59'999}) {
        page.clock.jump(
            page.clock.now().msecsTo(QDateTime(QDate(2026, 3, 2), QTime(14, 20).addMSecs(ms))));
        page.enter(QStringLiteral("at 3pm"));
        EXPECT_EQ(page.view.subtitle(), QStringLiteral("Ends at ") + three) << ms;
        page.clock.advance(1700);
        EXPECT_EQ(page.view.subtitle(), QStringLiteral("Ends at ") + three) << ms;
    }
}

// What the preview and the recent lines say is the interpreter's; the page shows the preview as
// the text and the tempo change, and a chip's line when clicked.
TEST(TimerView, PreviewFollowsTheTextAndTheTempoAndRecentChipsRunTheirLine) {
    TimerPage page;
    page.view.setText(QStringLiteral("metronome"));
    EXPECT_TRUE(page.view.previewLabel()->isVisibleTo(&page.view));
    page.metronome.setBpm(90);
    EXPECT_EQ(page.view.previewLabel()->text(), QStringLiteral("\u2669 90"));
    page.view.setText(QStringLiteral("stop"));
    EXPECT_FALSE(page.view.previewLabel()->isVisibleTo(&page.view));

    // A line too long for the row is shortened, never dropped: every chip shows, in order.
    const QString longLine = QStringLiteral("25m practise the left hand of the second movement");
    page.settings.setRecents({QStringLiteral("tea"), longLine, QStringLiteral("5m")});
    page.view.layout()->activate();
    const auto chips = page.view.recentChips();
    ASSERT_EQ(chips.size(), 3);
    EXPECT_TRUE(chips[2]->isVisible());
    EXPECT_LT(chips[1]->geometry().right(), chips[2]->geometry().left());
    EXPECT_LE(chips[2]->geometry().right(), chips[2]->parentWidget()->width());
    EXPECT_TRUE(chips[1]->shownText().endsWith(u'\u2026'));
    QTest::mouseClick(chips[2], Qt::LeftButton);
    EXPECT_EQ(page.engine.total(), 300);
}
