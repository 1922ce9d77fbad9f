#include "StatusController.h"

#include "PageFixture.h"
#include "PopupWindow.h"
#include "TimerEngine.h"
#include "TrayIconPainter.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

struct Tray : ::testing::Test, PageFixture {
    TimerEngine engine{settings, speaker, clock};
    int glyphs = 0;
    StatusController status{engine,
                            speaker,
                            settings,
                            metronome,
                            clock,
                            [](PopoverUI&) {
                                auto* page = new QLabel(QStringLiteral("page"));
                                page->setFixedSize(340, 200);
                                return page;
                            },
                            [this](bool talking) {
                                ++glyphs;
                                QImage image(18, 18, QImage::Format_ARGB32_Premultiplied);
                                image.fill(talking ? Qt::black : Qt::transparent);
                                return image;
                            }};

    void turn() { clock.advance(0); }
    QStringList menuTitles() {
        status.rebuildMenu();
        QStringList out;
        for (QAction* a : status.menu()->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    void trigger(const QString& title) {
        status.rebuildMenu();
        for (QAction* a : status.menu()->actions())
            if (a->text() == title)
                return a->trigger();
        ADD_FAILURE() << "no menu item " << title.toStdString();
    }
};

} // namespace

TEST_F(Tray, TitleAndTooltipFollowTheEngineAndTheHotkey) {
    EXPECT_EQ(status.title(), QString());
    ScriptedHotkey hotkey;
    status.setHotkeyService(&hotkey); // not registered: not named
    EXPECT_EQ(status.toolTip(), QStringLiteral("Pobi"));
    hotkey.become(HotkeyService::Backend::X11);

    engine.start(Command{Kind::Timer, 300, QStringLiteral("Tea")});
    clock.advance(2000);
    EXPECT_TRUE(engine.display().endsWith(QStringLiteral("4:58")));
    EXPECT_EQ(status.title(), u' ' + engine.display());
    EXPECT_EQ(status.toolTip(), QStringLiteral("Pobi (Ctrl+Alt+T)\n") + engine.display());
    EXPECT_FALSE(status.titleGrey());

    engine.pause();
    turn();
    EXPECT_TRUE(status.titleGrey());

    metronome.start();
    turn();
    EXPECT_EQ(status.title(), QStringLiteral(" \u2669") + QString::number(metronome.bpm()));
    EXPECT_TRUE(status.titleGrey()); // still paused underneath
}

TEST_F(Tray, GlyphIsRebuiltOnlyWhenTheTalkingFlagFlips) {
    EXPECT_EQ(glyphs, 1);
    int flips = 0;
    QObject::connect(&speaker, &Speaker::talkingChanged, [&] { ++flips; });

    // A running timer changes the title every second without touching the glyph.
    settings.setMuted(true);
    engine.start(Command{Kind::Timer, 600, QString()});
    const QString first = (turn(), status.title());
    clock.advance(3000);
    EXPECT_NE(status.title(), first);

    speaker.say(QStringLiteral("Hello"), settings);
    turn();
    speech.finish();
    clock.advance(2000);
    EXPECT_EQ(glyphs, 1 + flips);
}

TEST_F(Tray, MenuFollowsTheStateAndItsItemsAct) {
    EXPECT_EQ(menuTitles(), (QStringList{"Open Pobi", "-", "Quit Pobi"}));

    engine.start(Command{Kind::Timer, 300, QString()});
    metronome.start();
    turn();
    EXPECT_EQ(menuTitles(),
              (QStringList{"Open Pobi", "Stop tempo", "Pause", "Stop", "-", "Quit Pobi"}));
    trigger(QStringLiteral("Pause"));
    EXPECT_EQ(engine.state(), TimerEngine::State::Paused);
    trigger(QStringLiteral("Resume"));
    EXPECT_EQ(engine.state(), TimerEngine::State::Running);
    trigger(QStringLiteral("Stop tempo"));
    EXPECT_FALSE(metronome.running());
    trigger(QStringLiteral("Stop"));
    EXPECT_FALSE(engine.active());
}

TEST_F(Tray, OpeningLandsOnTheMainPageAndBumpsTheFocusOnce) {
    status.ui().setShowSettings(true);
    const int token = status.ui().focusToken();
    status.show();
    EXPECT_TRUE(status.popupShown());
    EXPECT_FALSE(status.ui().showSettings());
    EXPECT_EQ(status.ui().focusToken(), token + 1);

    // A left click on an open popup closes it, the next one opens it again.
    status.clicked();
    EXPECT_FALSE(status.popupShown());
    status.clicked();
    EXPECT_TRUE(status.popupShown());

    // Pages close the popup through the shared state.
    status.ui().close();
    EXPECT_FALSE(status.popupShown());
}

TEST(TrayIconPainter, RingShowsTheShareLeftInTheAccent) {
    QImage glyph(18, 18, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::black);
    const QColor fg(20, 20, 20);
    auto accentAt = [](const QImage& img, int x, int y) {
        const QColor c = img.pixelColor(x, y);
        return c.red() > 200 && c.green() < 160 && c.blue() < 120;
    };
    const QImage half = TrayIconPainter::paint(glyph, fg, 0.5, false, 32);
    // Clockwise from twelve: the right side is filled, the left is only the track.
    EXPECT_TRUE(accentAt(half, 30, 16));
    EXPECT_FALSE(accentAt(half, 1, 16));
    // Paused: the ring is grey.
    const QImage paused = TrayIconPainter::paint(glyph, fg, 0.5, true, 32);
    EXPECT_FALSE(accentAt(paused, 30, 16));
    // No ring: the glyph fills the icon, in the foreground colour.
    const QImage plain = TrayIconPainter::paint(glyph, fg, std::nullopt, false, 32);
    EXPECT_EQ(plain.pixelColor(1, 16).rgb(), fg.rgb());
}
