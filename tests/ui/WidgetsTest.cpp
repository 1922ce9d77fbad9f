#include "Caption.h"
#include "ChipButton.h"
#include "IconButton.h"
#include "PageFixture.h"
#include "Palette.h"
#include "PillButton.h"
#include "SegmentedPicker.h"
#include "Shake.h"
#include "SwitchRow.h"
#include "SymbolIcon.h"
#include "Theme.h"

#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

TEST(Shake, OneIncrementSwingsTwiceAndEndsWhereItBegan) {
    QWidget target;
    Shake shake(&target);
    shake.play();
    ASSERT_TRUE(shake.running());
    EXPECT_EQ(shake.animation()->duration(), 400);

    // Sample the animation through its 0.4 s and count the sign changes of the offset.
    double extreme = 0;
    int crossings = 0;
    double last = 0;
    for (int ms = 0; ms <= 400; ms += 5) {
        shake.animation()->setCurrentTime(ms);
        const double dx = shake.offset();
        extreme = std::max(extreme, std::abs(dx));
        if ((last < 0 && dx > 0) || (last > 0 && dx < 0))
            ++crossings;
        if (dx != 0)
            last = dx;
    }
    EXPECT_NEAR(extreme, 6.0, 0.05);
    EXPECT_EQ(crossings, 3); // right, left, right, left: two full swings
    EXPECT_EQ(shake.amount(), 1.0);
    EXPECT_EQ(shake.offset(), 0.0);
    // Linear: a quarter of the way is amount 0.25, i.e. back at the middle between swings.
    EXPECT_NEAR(Shake::offsetFor(0.125), 6.0, 1e-9);
    EXPECT_NEAR(Shake::offsetFor(0.375), -6.0, 1e-9);
}

TEST(Shake, ASecondShakeCountsOnAndStillEndsAtRest) {
    QWidget target;
    Shake shake(&target);
    shake.play();
    shake.animation()->setCurrentTime(100);
    shake.play();
    EXPECT_EQ(shake.count(), 2);
    shake.animation()->setCurrentTime(400);
    EXPECT_EQ(shake.amount(), 2.0);
    EXPECT_EQ(shake.offset(), 0.0);
}

TEST(PillButton, ColoursFollowAccentThenPrimary) {
    QPalette light;
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::Window, Qt::white);
    struct Case {
        bool primary, accent;
        QColor fill, text;
        int height;
    };
    const QColor faint = Theme::faded(Qt::black, 0.07);
    for (const Case& c :
         {Case{false, false, faint, Qt::black, 30}, Case{true, false, Qt::black, Qt::white, 30},
          Case{false, true, Palette::pobi, Qt::white, 36},
          Case{true, true, Palette::pobi, Qt::white, 36}}) {
        PillButton b(QStringLiteral("Stop"), c.primary, c.accent);
        b.setPalette(light);
        EXPECT_EQ(b.fillColor(), c.fill) << c.primary << c.accent;
        EXPECT_EQ(b.textColor(), c.text) << c.primary << c.accent;
        EXPECT_EQ(b.height(), c.height);
    }
}

TEST(ChipButton, FillIsStrongerWhilePressed) {
    ChipButton plain(QStringLiteral("tea"));
    ChipButton accent(QStringLiteral("Accent"), true);
    EXPECT_DOUBLE_EQ(plain.fillOpacity(), 0.06);
    EXPECT_DOUBLE_EQ(accent.fillOpacity(), 0.12);
    EXPECT_EQ(accent.labelColor(), Palette::pobi);
    plain.setDown(true);
    EXPECT_DOUBLE_EQ(plain.fillOpacity(), 0.18);
    EXPECT_EQ(plain.height(), 24);
    QSignalSpy clicked(&plain, &QAbstractButton::clicked);
    plain.setDown(false);
    plain.resize(plain.sizeHint());
    QTest::mouseClick(&plain, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(IconButton, HoverBrightensTheSymbolUnlessTinted) {
    IconButton b(QStringLiteral("gearshape"), QStringLiteral("Settings"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Settings"));
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Settings"));
    EXPECT_EQ(b.size(), QSize(26, 26));
    const QColor quiet = b.symbolColor();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&b, &enter);
    EXPECT_TRUE(b.hovered());
    EXPECT_EQ(b.symbolColor(), Theme::primary(b.palette()));
    EXPECT_NE(quiet, b.symbolColor());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &leave);
    EXPECT_FALSE(b.hovered());
    b.setTint(Palette::pobi);
    EXPECT_EQ(b.symbolColor(), Palette::pobi);
}

TEST(SegmentedPicker, ClicksChooseAndCodeDoesNotSignal) {
    SegmentedPicker picker(
        {{QStringLiteral("2"), 2}, {QStringLiteral("3"), 3}, {QStringLiteral("4"), 4}}, 4,
        QStringLiteral("Beats"));
    picker.resize(150, 24);
    QSignalSpy chosen(&picker, &SegmentedPicker::valueChosen);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.segmentRect(1).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 3);
    EXPECT_EQ(picker.value(), 3);
    picker.setValue(2);
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_EQ(picker.currentIndex(), 0);
    QTest::keyClick(&picker, Qt::Key_Right);
    EXPECT_EQ(picker.value(), 3);
    picker.setValue(99);
    EXPECT_EQ(picker.currentIndex(), -1);
}

TEST(SwitchRow, TheWholeRowTogglesAndSetOnIsQuiet) {
    SwitchRow row(QStringLiteral("Halfway"), true);
    row.resize(250, 20);
    row.layout()->activate();
    QSignalSpy toggled(&row, &SwitchRow::toggled);
    row.setOn(false);
    EXPECT_EQ(toggled.count(), 0);
    EXPECT_FALSE(row.isOn());
    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_TRUE(toggled[0][0].toBool());
    EXPECT_EQ(row.toggle()->accessibleName(), QStringLiteral("Halfway"));
    EXPECT_GT(row.toggle()->x(), 200); // trailing edge
}

TEST(SymbolIcon, EveryNamedSymbolDrawsSomethingWithoutATheme) {
    for (const char* name : {"gearshape", "chevron.left", "play.fill", "speaker.wave.2",
                             "speaker.slash.fill", "minus", "plus", "xmark", "return"}) {
        QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        SymbolIcon::paintFallback(p, QRectF(0, 0, 24, 24), QString::fromLatin1(name), Qt::black,
                                  16);
        p.end();
        int inked = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                inked += qAlpha(img.pixel(x, y)) > 128;
        EXPECT_GT(inked, 8) << name;
    }
}

TEST(Theme, TabularDigitsTakeTheSameWidth) {
    const QFont f = Theme::font(44, QFont::Bold);
    EXPECT_DOUBLE_EQ(Theme::tabularWidth(f, QStringLiteral("11:11")),
                     Theme::tabularWidth(f, QStringLiteral("00:00")));
    EXPECT_DOUBLE_EQ(Theme::tabularWidth(f, QStringLiteral("1")),
                     Theme::tabularWidth(f, QStringLiteral("8")));
}

TEST(Caption, ShowsTheSpokenLineInQuotesThenTheHintAgain) {
    PageFixture f;
    Caption caption(f.speaker, QStringLiteral("Or type 120 bpm for Tempo"));
    EXPECT_EQ(caption.shownText(), QStringLiteral("Or type 120 bpm for Tempo"));
    EXPECT_FALSE(caption.dotVisible());
    EXPECT_FALSE(caption.emphasised());

    f.speaker.say(QStringLiteral("25 minutes. Starting now."), f.settings);
    EXPECT_EQ(caption.shownText(), QStringLiteral("\u201C25 minutes. Starting now.\u201D"));
    EXPECT_TRUE(caption.dotVisible());
    EXPECT_EQ(caption.accessibleName(), caption.shownText());
    caption.setHint(QStringLiteral("Type p to pause"));
    EXPECT_EQ(caption.shownText(), QStringLiteral("\u201C25 minutes. Starting now.\u201D"));

    f.speech.finish();
    FakeClock::flush();
    EXPECT_FALSE(f.speaker.talking());
    EXPECT_EQ(caption.shownText(), QStringLiteral("Type p to pause"));
    EXPECT_FALSE(caption.dotVisible());
    // Long lines wrap rather than widen the popup.
    f.speaker.say(QString(200, u'w').replace(QStringLiteral("wwwww"), QStringLiteral("word ")),
                  f.settings);
    EXPECT_GT(caption.heightForWidth(300), caption.heightForWidth(3000));
}
