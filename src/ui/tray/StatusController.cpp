#include "ui/tray/StatusController.h"

#include "core/clock/Clock.h"
#include "core/director/CommandInterpreter.h"
#include "core/hotkey/HotkeyService.h"
#include "core/log/Log.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"
#include "core/tray/StatusMenu.h"
#include "core/tray/StatusTitle.h"
#include "ui/icons/TrayIconPainter.h"
#include "ui/theme/Appearance.h"
#include "ui/tray/PopoverUI.h"
#include "ui/tray/PopupWindow.h"

#include <QApplication>
#include <QDir>
#include <QImageWriter>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <chrono>
#include <cstdio>
#include <memory>

StatusController::StatusController(TimerEngine& engine, Speaker& speaker, Settings& settings,
                                   Metronome& metronome, Clock& clock, ContentFactory content,
                                   GlyphFactory glyph, bool withTray, QObject* parent)
    : QObject(parent), m_engine(engine), m_speaker(speaker), m_settings(settings),
      m_metronome(metronome), m_clock(clock), m_content(std::move(content)),
      m_glyphFactory(std::move(glyph)) {
    m_ui = new PopoverUI(this);

    m_popup = new PopupWindow();
    if (m_content)
        m_popup->setContent(m_content(*m_ui));
    connect(m_popup, &PopupWindow::opened, this, [] { qCDebug(lcTray) << "popup shown"; });
    connect(m_popup, &PopupWindow::closed, this, [] { qCDebug(lcTray) << "popup hidden"; });
    // Queued: the menu opens once the click that closed the popup is over.
    connect(
        m_popup, &PopupWindow::menuRequested, this,
        [this](QPoint at) {
            if (m_menu)
                m_menu->popup(at);
        },
        Qt::QueuedConnection);

    QPointer<StatusController> self(this);
    m_ui->setClose([self] {
        if (self)
            self->closePopup();
    });

    setupMenu();
    if (withTray)
        setupTray();

    // One refresh per event-loop turn, after the change has been stored, however many
    // notifications arrived.
    auto schedule = [this] {
        if (m_refreshQueued)
            return;
        m_refreshQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_refreshQueued = false;
                refresh();
            },
            Qt::QueuedConnection);
    };
    connect(&m_engine, &TimerEngine::changed, this, schedule);
    connect(&m_speaker, &Speaker::changed, this, schedule);
    connect(&m_metronome, &Metronome::changed, this, schedule);
    refresh();
}

StatusController::~StatusController() {
    delete m_tray; // before the menu it shows
    delete m_popup;
}

void StatusController::setupMenu() {
    m_menu = std::make_unique<QMenu>();
    connect(m_menu.get(), &QMenu::aboutToShow, this, [this] {
        rebuildMenu();
        qCDebug(lcTray) << "menu shown";
    });
    rebuildMenu();
}

void StatusController::setupTray() {
    m_tray = new QSystemTrayIcon(this);
    m_tray->setContextMenu(m_menu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // The right click opens the menu (the tray shows it itself); only the left
                // click toggles the popup.
                if (reason == QSystemTrayIcon::Trigger)
                    clicked();
            });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qWarning().noquote() << "Pobi: no system tray; open Pobi with Ctrl+Alt+T or pobi --toggle";
        // Nothing to click: the popup becomes a window of its own, one the user can find.
        m_popup->setWindowed(true);
    }
}

bool StatusController::trayAvailable() const {
    return m_tray && QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusController::setTranslucentPopup(bool translucent) {
    if (m_popup)
        m_popup->setTranslucent(translucent);
}

void StatusController::rebuildMenu() {
    m_menu->clear();
    QPointer<StatusController> self(this);
    for (const auto& item : StatusMenu::items(m_engine.state(), m_metronome.running())) {
        if (item.action == StatusMenu::Action::Separator) {
            m_menu->addSeparator();
            continue;
        }
        QAction* action = m_menu->addAction(item.title);
        if (!item.shortcut.isEmpty())
            action->setShortcut(QKeySequence(item.shortcut));
        const auto what = item.action;
        connect(action, &QAction::triggered, this, [self, what] {
            if (!self)
                return;
            switch (what) {
            case StatusMenu::Action::Open:
                self->show();
                break;
            case StatusMenu::Action::StopTempo:
                self->m_metronome.stop();
                break;
            case StatusMenu::Action::TogglePause:
                if (self->m_engine.state() == TimerEngine::State::Running)
                    self->m_engine.pause();
                else
                    self->m_engine.resume();
                break;
            case StatusMenu::Action::Stop:
                self->m_engine.stop();
                break;
            case StatusMenu::Action::Quit:
                QApplication::quit();
                break;
            case StatusMenu::Action::Separator:
                break;
            }
        });
    }
}

void StatusController::setHotkeyService(HotkeyService* service) {
    if (m_hotkey)
        disconnect(m_hotkey, nullptr, this, nullptr);
    m_hotkey = service;
    const auto update = [this] {
        if (m_tray)
            m_tray->setToolTip(toolTip());
        const QString heading = toolTip().section(u'\n', 0, 0);
        qCDebug(lcTray).noquote() << QStringLiteral("tooltip \"%1\"").arg(heading);
    };
    if (service)
        connect(service, &HotkeyService::statusChanged, this, update);
    update();
}

QString StatusController::toolTip() const {
    const bool hotkey = m_hotkey && m_hotkey->backend() != HotkeyService::Backend::Unavailable;
    const QString heading = hotkey ? QStringLiteral("Pobi (Ctrl+Alt+T)") : QStringLiteral("Pobi");
    const QString text = m_lastTitle.trimmed();
    return text.isEmpty() ? heading : heading + u'\n' + text;
}

void StatusController::refresh() {
    const bool talking = m_speaker.talking();
    bool iconDirty = false;
    if (!m_lastTalking || *m_lastTalking != talking) {
        m_lastTalking = talking;
        m_glyphs.clear();
        iconDirty = true;
    }

    const auto state = m_engine.state();
    const QString title =
        StatusTitle::text(state, m_engine.display(), m_metronome.running(), m_metronome.bpm());
    const bool grey = StatusTitle::grey(state);
    const auto ring =
        StatusTitle::ring(state, m_engine.kind(), m_engine.remaining(), m_engine.total(),
                          m_engine.elapsed(), m_metronome.running());
    if (ring != m_lastRing || grey != m_lastGrey) {
        m_lastRing = ring;
        m_lastGrey = grey;
        iconDirty = true;
    }
    if (iconDirty)
        updateIcon();

    // While paused every change re-applies the title, as the engine's display may move.
    if (title == m_lastTitle && state != TimerEngine::State::Paused)
        return;
    const bool changed = title != m_lastTitle;
    m_lastTitle = title;
    if (m_tray)
        m_tray->setToolTip(toolTip());
    if (changed) {
        qCDebug(lcTray).noquote() << QStringLiteral("title \"%1\"").arg(title);
        emit titleChanged(title);
    }
}

void StatusController::updateIcon() {
    auto glyphAt = [this](int px) {
        auto found = m_glyphs.constFind(px);
        if (found != m_glyphs.constEnd())
            return *found;
        QImage glyph =
            m_glyphFactory ? m_glyphFactory(m_lastTalking.value_or(false), px) : QImage();
        if (glyph.isNull()) {
            glyph = QImage(px, px, QImage::Format_Alpha8);
            glyph.fill(Qt::transparent);
        }
        return *m_glyphs.insert(px, glyph);
    };
    const auto ink = TrayIconPainter::ink();
    QIcon icon;
    for (const int size : TrayIconPainter::sizes)
        icon.addPixmap(
            QPixmap::fromImage(TrayIconPainter::paint(glyphAt, ink, m_lastRing, m_lastGrey, size)));
    m_icon = icon;
    if (!m_tray)
        return;
    m_tray->setIcon(m_icon);
    if (!m_tray->isVisible())
        m_tray->show();
}

void StatusController::clicked() {
    if (popupShown()) {
        closePopup();
        return;
    }
    // The click that just closed the popup (outside it, on the icon) must not reopen it.
    if (m_popup && m_popup->justClosed())
        return;
    show();
}

void StatusController::show() {
    if (!m_popup)
        return;
    m_ui->setShowSettings(false);
    QRect anchor = m_tray ? m_tray->geometry() : QRect();
    if (anchor.isValid())
        qCDebug(lcTray).noquote() << QStringLiteral("tray at %1,%2 %3x%4")
                                         .arg(anchor.x())
                                         .arg(anchor.y())
                                         .arg(anchor.width())
                                         .arg(anchor.height());
    m_popup->popup(anchor);
    m_ui->bumpFocus();
}

void StatusController::closePopup() {
    if (m_popup && m_popup->isVisible())
        m_popup->dismiss();
}

bool StatusController::popupShown() const {
    return m_popup && m_popup->isVisible();
}

void StatusController::snapshot(const QString& dir, const std::optional<QString>& command,
                                bool dark, CommandInterpreter& interpreter) {
    QDir().mkpath(dir); // a failure shows when the first picture is written

    QApplication::setPalette(Appearance::palette(dark));

    // The same page as the popup's, in its own borderless window far off screen.
    auto* host = new QWidget(nullptr, Qt::FramelessWindowHint);
    host->setAttribute(Qt::WA_DeleteOnClose, false);
    host->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (m_content) {
        QWidget* page = m_content(*m_ui);
        page->setFixedWidth(340);
        layout->addWidget(page);
    }
    host->setGeometry(-4000, 0, 340, 400);
    host->show();
    connect(qApp, &QCoreApplication::aboutToQuit, host, [host] { delete host; });

    if (command == QStringLiteral("tempo-check")) {
        // The first paint loads fonts and can hold the main thread for a second; done now, it
        // cannot delay the ticks being timed.
        host->repaint();
        QCoreApplication::processEvents();
        using Steady = std::chrono::steady_clock;
        auto beats = std::make_shared<int>(0);
        auto times = std::make_shared<std::vector<Steady::time_point>>();
        auto subscription = connect(&m_metronome, &Metronome::ticked, this, [beats, times] {
            ++*beats;
            times->push_back(Steady::now());
        });
        m_metronome.setBpm(120);
        m_metronome.start();
        m_clock.singleShot(2050, this, [this, beats, times, subscription] {
            m_metronome.stop();
            QStringList gaps;
            for (size_t i = 1; i < times->size(); ++i) {
                const double s =
                    std::chrono::duration<double>((*times)[i] - (*times)[i - 1]).count();
                gaps << u'"' + QString::asprintf("%.3f", s) + u'"';
            }
            std::printf("tempo-check beats=%d gaps=[%s]\n", *beats,
                        gaps.join(QStringLiteral(", ")).toUtf8().constData());
            std::fflush(stdout);
            disconnect(subscription);
            QApplication::quit();
        });
        return;
    }
    // The page is switched for the picture only: the stored mode and recent entries are put
    // back on the way out.
    const Settings::Mode storedMode = m_settings.mode();
    const QStringList storedRecents = m_settings.recents();
    const auto putBack = [this, storedMode, storedRecents] {
        m_settings.setMode(storedMode);
        m_settings.setRecents(storedRecents);
    };
    if (command && !command->isEmpty()) {
        using Action = CommandInterpreter::Action;
        constexpr auto timerField = CommandInterpreter::Field::Timer;
        const Action action = interpreter.interpret(*command, timerField).action;
        // A tempo shows its page without sounding; a timer or stopwatch runs as when typed.
        if (action == Action::StartTempo)
            m_settings.setMode(Settings::Mode::Tempo);
        else if (action == Action::StartTimer || action == Action::StartStopwatch)
            interpreter.run(*command, timerField);
    }

    QPointer<QWidget> guard(host);
    m_clock.singleShot(1500, this, [this, guard, dir, putBack] {
        if (guard && !savePng(guard, dir, QStringLiteral("popover.png"))) {
            putBack();
            QApplication::exit(1);
            return;
        }
        m_ui->setShowSettings(true);
        m_clock.singleShot(1000, this, [this, guard, dir, putBack] {
            const bool saved = !guard || savePng(guard, dir, QStringLiteral("settings.png"));
            putBack();
            QApplication::exit(saved ? 0 : 1);
        });
    });
}

QImage StatusController::renderImage(QWidget* widget) {
    // grab() rather than render() into an image: render() draws a child with a graphics effect
    // (the text field's shake) at twice its offset, over the rows below it.
    QImage image = widget->grab().toImage();
    if (image.isNull())
        return image;
    if (image.size() != widget->size())
        image = image.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(widget->palette().color(QPalette::Window));
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

bool StatusController::savePng(QWidget* host, const QString& dir, const QString& name) {
    host->adjustSize();
    if (host->layout())
        host->layout()->activate();
    const QString path = QDir(dir).filePath(name);
    const QImage image = renderImage(host);
    QImageWriter writer(path, "png");
    if (!image.isNull() && writer.write(image))
        return true;
    qWarning().noquote() << QStringLiteral("Pobi: snapshot not saved: %1: %2")
                                .arg(path, image.isNull() ? QStringLiteral("nothing was drawn")
                                                          : writer.errorString());
    return false;
}
