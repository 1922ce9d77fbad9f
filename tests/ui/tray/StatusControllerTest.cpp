#include "ui/tray/StatusController.h"

#include "PageFixture.h"
#include "ui/icons/TrayIconPainter.h"
#include "ui/mascot/Glyph.h"
#include "ui/theme/Appearance.h"
#include "ui/theme/Theme.h"
#include "ui/tray/PopupWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Tray : ::testing::Test, PageFixture {
    QHash<int, int> glyphs; // drawn, by size
    static QWidget* page(PopoverUI&) { return new QLabel(QStringLiteral("page")); }
    StatusController status{
        engine, speaker, settings, metronome, clock, page, [this](bool talking, int px) {
            ++glyphs[px];
            return Glyph::image(talking, px / 18.0);
        }};

    void turn() { clock.advance(0); }
    void trigger(const QString& title) {
        status.rebuildMenu();
        for (QAction* a : status.menu()->actions())
            if (a->text() == title)
                return a->trigger();
        ADD_FAILURE() << "no menu item " << title.toStdString();
    }
};

} // namespace

TEST_F(Tray, TitleTooltipGlyphAndMenuFollowTheEngineTheHotkeyAndTheVoice) {
    ScriptedHotkey hotkey;
    status.setHotkeyService(&hotkey); // not registered: not promised
    EXPECT_EQ(status.toolTip(), QStringLiteral("Pobi"));
    hotkey.become(HotkeyService::Backend::X11);
    engine.start(Command{Command::Kind::Timer, 300, QStringLiteral("Tea")});
    clock.advance(2000);
    EXPECT_EQ(status.title(), u' ' + engine.display());
    EXPECT_EQ(status.toolTip(), QStringLiteral("Pobi (Ctrl+Alt+T)\n") + engine.display());
    metronome.start();
    turn();
    EXPECT_EQ(status.title(), QStringLiteral(" \u2669") + QString::number(metronome.bpm()));

    // The title changes every second, the glyph only when the talking flag flips: each size
    // is drawn once silent, once talking and once silent again.
    speaker.say(QStringLiteral("Hello"), settings);
    turn();
    speech.finish();
    clock.advance(2000);
    EXPECT_EQ(*std::max_element(glyphs.cbegin(), glyphs.cend()), 3);

    // Which menu items show when is StatusMenu's table; here they act on what runs.
    trigger(QStringLiteral("Pause"));
    EXPECT_EQ(engine.state(), TimerEngine::State::Paused);
    trigger(QStringLiteral("Stop tempo"));
    EXPECT_FALSE(metronome.running());
    trigger(QStringLiteral("Stop"));
    EXPECT_FALSE(engine.active());
    // The menu, a window of its own, goes with its controller, not at a later turn of the loop.
    const QPointer<QMenu> menu =
        StatusController(engine, speaker, settings, metronome, clock, {}, {}).menu();
    EXPECT_TRUE(menu.isNull());
}

TEST_F(Tray, OpeningLandsOnTheMainPageAndBumpsTheFocusOnce) {
    status.ui().setShowSettings(true);
    const int token = status.ui().focusToken();
    status.show();
    EXPECT_FALSE(status.ui().showSettings());
    EXPECT_EQ(status.ui().focusToken(), token + 1);

    // A left click on the open popup closes it, the next one opens it again.
    status.clicked();
    EXPECT_FALSE(status.popupShown());
    status.clicked();
    EXPECT_TRUE(status.popupShown());

    // Any click outside closes it; only a right click on the tray icon it came from asks for the
    // menu, which then opens.
    const QRect icon(1001, 1, 22, 22);
    status.popup()->setWindowed(false); // as under a tray
    QSignalSpy asked(status.popup(), &PopupWindow::menuRequested);
    for (const auto& [button, at, menu] : {std::tuple{Qt::LeftButton, icon.center(), false},
                                           {Qt::RightButton, QPoint(600, 700), false},
                                           {Qt::RightButton, icon.center(), true}}) {
        status.popup()->popup(icon);
        QTest::mousePress(status.popup(), button, {}, status.popup()->mapFromGlobal(at));
        EXPECT_FALSE(status.popupShown());
        EXPECT_EQ(asked.size(), int(menu));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return status.menu()->isVisible(); }));
}

TEST_F(Tray, IconIsDrawnAtEveryTraySizeAndReadsOnLightAndDarkPanels) {
    for (const bool running : {false, true}) {
        if (running) {
            engine.start(Command{Command::Kind::Timer, 300, QString()});
            clock.advance(150000);
        }
        for (const int size : TrayIconPainter::sizes) {
            // The size is there as drawn: asked for, it comes unscaled.
            const QImage icon = status.icon().pixmap(QSize(size, size)).toImage();
            ASSERT_EQ(icon.size(), QSize(size, size));
            // A light ink in a dark outline, or the reverse: either stands out on any panel.
            int light = 0, dark = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QColor c = icon.pixelColor(x, y);
                    light += c.alpha() > 127 && c.lightness() > 200;
                    dark += c.alpha() > 127 && c.lightness() < 55;
                }
            EXPECT_GT(std::min(light, dark), size) << size << " px, running " << running;
        }
    }

    // Half way, the ring's right half is in the accent; paused, it is grey.
    auto accentAt = [this](int x) {
        const QColor c = status.icon().pixmap(QSize(32, 32)).toImage().pixelColor(x, 16);
        return c.red() > 200 && c.green() < 160 && c.blue() < 120;
    };
    EXPECT_TRUE(accentAt(29));
    engine.pause();
    turn();
    EXPECT_FALSE(accentAt(29));
}

TEST_F(Tray, PopupFollowsTheDesktopsColourScheme) {
    struct : ColorSchemeService {
        using ColorSchemeService::setScheme;
    } schemes;
    using Scheme = ColorSchemeService::Scheme;
    const bool desktop = Theme::isDark(QApplication::palette());
    Appearance::follow(schemes);
    for (const auto& [scheme, dark] :
         {std::pair{Scheme::Dark, true}, {Scheme::Light, false}, {Scheme::NoPreference, desktop}}) {
        schemes.setScheme(scheme);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return Theme::isDark(status.popup()->palette()) == dark;
        })) << int(scheme);
    }
}
