#include "Caption.h"
#include "FieldBox.h"
#include "PageFixture.h"
#include "PillButton.h"
#include "PopoverView.h"
#include "PopupWindow.h"
#include "StatusController.h"
#include "TextLabel.h"
#include "TimerEngine.h"
#include "TimerView.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString longLine = QStringLiteral(
    "Pasta. Twenty-five minutes. Starting now, and this sentence goes on long enough to wrap.");

// The popup as the tray opens it: the page inside the window that follows its height.
class PopoverLayoutTest : public ::testing::Test, protected PageFixture {
protected:
    PopoverLayoutTest() {
        window.setContent(view);
        window.popup(QRect(500, 0, 20, 20));
        settle();
    }

    // Lets nested layouts pass their new size up to the window, as the event loop would.
    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            FakeClock::flush();
        }
    }

    // The page's visible parts, top to bottom, in the view's coordinates.
    QList<QRect> rows() const {
        QList<QRect> out;
        for (QWidget* w : view->timerView()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible())
                out << QRect(w->mapTo(view, QPoint(0, 0)), w->size());
        std::sort(out.begin(), out.end(),
                  [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
        return out;
    }

    void expectEverythingFits() const {
        EXPECT_EQ(window.height(), view->height());
        EXPECT_GE(view->height(), view->heightForWidth(PopoverView::contentWidth));
        const QList<QRect> r = rows();
        for (const QRect& row : r)
            EXPECT_TRUE(view->rect().contains(row)) << row.y() << " " << row.height();
        for (int i = 0; i < r.size(); ++i)
            for (int j = i + 1; j < r.size(); ++j)
                EXPECT_FALSE(r[i].intersects(r[j])) << "parts " << i << " and " << j << " overlap";
        // Nothing is squeezed below what it asks for.
        const TimerView* page = view->timerView();
        EXPECT_GE(page->clockLabel()->height(), page->clockLabel()->minimumSizeHint().height());
        EXPECT_GE(page->caption()->height(), page->caption()->heightForWidth(page->width()));
    }

    TimerEngine engine{settings, speaker, clock};
    PopupWindow window;
    PopoverView* view = new PopoverView{engine, speaker, settings, ui, metronome, mascot, clock};
};

TEST_F(PopoverLayoutTest, GrowsWithTheControlsOfARunningTimerAndAWrappedCaption) {
    expectEverythingFits();
    const int idle = window.height();

    engine.start(Command{Kind::Timer, 1500, QStringLiteral("Pasta")});
    settle();
    ASSERT_TRUE(view->timerView()->pauseButton()->isVisible());
    expectEverythingFits();
    const int running = window.height();
    EXPECT_GT(running, idle);

    speaker.say(longLine, settings);
    settle();
    ASSERT_TRUE(speaker.talking());
    EXPECT_GT(view->timerView()->caption()->height(), 30); // wrapped onto more lines
    expectEverythingFits();
    EXPECT_GT(window.height(), running);

    speech.finish();
    engine.stop();
    settle();
    expectEverythingFits();
    EXPECT_EQ(window.height(), idle);
}

// The snapshot's picture shows the text field where the layout put it, not over the rows below.
TEST_F(PopoverLayoutTest, RenderedPageDrawsTheFieldInItsPlace) {
    engine.start(Command{Kind::Timer, 1500, QStringLiteral("Pasta")});
    settle();
    const QImage image = StatusController::renderImage(view);
    ASSERT_EQ(image.size(), view->size());
    const FieldBox* field = view->timerView()->field();
    const QRect box(field->mapTo(view, QPoint(0, 0)), field->size());
    const QColor inside = image.pixelColor(box.left() + 4, box.center().y());
    const QColor base = field->palette().color(QPalette::Base);
    ASSERT_NE(base.rgb(), view->palette().color(QPalette::Window).rgb());
    EXPECT_EQ(inside.rgb(), base.rgb());
}

} // namespace
