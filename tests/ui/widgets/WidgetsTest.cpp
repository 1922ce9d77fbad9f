#include "PageFixture.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/theme/SymbolIcon.h"
#include "ui/widgets/Caption.h"
#include "ui/widgets/Shake.h"

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

TEST(Shake, MovesAndEndsWhereItBeganEvenWhenPlayedAgainMidWay) {
    QWidget target;
    Shake shake(&target);
    shake.play();
    shake.animation()->setCurrentTime(Shake::durationMs / 8);
    EXPECT_NE(shake.offset(), 0.0);
    shake.play();
    EXPECT_EQ(shake.count(), 2);
    shake.animation()->setCurrentTime(Shake::durationMs);
    EXPECT_EQ(shake.offset(), 0.0);
}

// Clicks choose in every page test; here the keys walk the segments, screen readers hear a choice
// and its current label, and only the user's choices are signalled, never a value set by code.
TEST(SegmentedPicker, KeysChooseAndCodeDoesNotSignal) {
    SegmentedPicker picker(
        {{QStringLiteral("2"), 2}, {QStringLiteral("3"), 3}, {QStringLiteral("4"), 4}}, 4,
        QStringLiteral("Beats"));
    QSignalSpy chosen(&picker, &SegmentedPicker::valueChosen);
    picker.setValue(2);
    EXPECT_EQ(picker.currentIndex(), 0);
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(&picker);
    ASSERT_NE(a11y, nullptr);
    for (const auto& [key, value] : {std::pair{Qt::Key_Down, 3},
                                     {Qt::Key_End, 4},
                                     {Qt::Key_Right, 4},
                                     {Qt::Key_Home, 2},
                                     {Qt::Key_Up, 2}}) {
        QTest::keyClick(&picker, key);
        EXPECT_EQ(picker.value(), value) << key;
        EXPECT_EQ(a11y->text(QAccessible::Value), QString::number(value));
    }
    EXPECT_EQ(chosen.count(), 3); // the keys that moved
}

// Without an icon theme every symbol is drawn here, each its own picture, none blank.
TEST(SymbolIcon, EveryNamedSymbolHasItsOwnDrawingWithoutATheme) {
    QImage blank(24, 24, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    const auto draw = [&](SymbolIcon::Symbol symbol) {
        QImage img = blank.copy();
        QPainter p(&img);
        SymbolIcon::paintFallback(p, QRectF(0, 0, 24, 24), symbol, Qt::black, 16);
        p.end();
        return img;
    };
    QList<QImage> seen{blank};
    for (const auto symbol : SymbolIcon::allSymbols) {
        EXPECT_FALSE(seen.contains(draw(symbol))) << int(symbol);
        seen << draw(symbol);
    }
}

TEST(Caption, ShowsTheSpokenLineInQuotesThenTheHintAgain) {
    PageFixture f;
    Caption caption(f.speaker, QStringLiteral("Or type 120 bpm for Tempo"));
    f.speaker.say(QStringLiteral("25 minutes. Starting now."), f.settings);
    EXPECT_EQ(caption.shownText(), QStringLiteral("\u201C25 minutes. Starting now.\u201D"));
    EXPECT_TRUE(caption.dotVisible());
    caption.setHint(QStringLiteral("Type p to pause"));
    EXPECT_EQ(caption.shownText(), QStringLiteral("\u201C25 minutes. Starting now.\u201D"));

    f.speech.finish();
    FakeClock::flush();
    EXPECT_EQ(caption.shownText(), QStringLiteral("Type p to pause"));
    EXPECT_FALSE(caption.dotVisible());
    // A page of text wraps rather than widen the popup, and stops at three lines.
    f.speaker.say(QStringLiteral("word ").repeated(6000), f.settings);
    EXPECT_EQ(caption.heightForWidth(300), 3 * caption.fontMetrics().lineSpacing());
}
