#include "app/AppDelegate.h"

#include "core/audio/AudioShare.h"
#include "core/audio/BellChime.h"
#include "core/audio/SharedAudioPlayer.h"
#include "core/clock/Clock.h"
#include "core/desktop/EndNotifier.h"
#include "core/director/CommandInterpreter.h"
#include "core/director/Director.h"
#include "core/hotkey/Hotkey.h"
#include "core/hotkey/HotkeyService.h"
#include "core/instance/StatusReport.h"
#include "core/log/Log.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"
#include "platform/audio/QtAudioPlayer.h"
#include "platform/gnome/GnomeShortcut.h"
#include "platform/hotkey/HotkeyServiceFactory.h"
#include "platform/notify/FreedesktopNotifier.h"
#include "platform/portal/PortalColorScheme.h"
#include "platform/speechd/SpeechdService.h"
#include "platform/x11/X11Compositing.h"
#include "platform/xdg/XdgAutostart.h"
#include "ui/mascot/Glyph.h"
#include "ui/pages/PopoverView.h"
#include "ui/pages/SettingsView.h"
#include "ui/theme/Appearance.h"
#include "ui/tray/PopoverUI.h"
#include "ui/tray/PopupWindow.h"
#include "ui/tray/StatusController.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMetaObject>
#include <QPointer>
#include <QStandardPaths>

namespace {

// Opens and closes the popup from anywhere, and inside it.
constexpr QKeyCombination toggleKeys(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);

} // namespace

AppDelegate::AppDelegate(CommandLine line, QObject* parent)
    : QObject(parent), m_line(std::move(line)), m_clock(Clock::system()) {
    m_autostart = std::make_unique<XdgAutostart>();
    m_settings = std::make_unique<Settings>(QString(), m_autostart.get());
    m_speech = std::make_unique<SpeechdService>();
    m_speaker = std::make_unique<Speaker>(*m_speech, m_clock);
    m_output = std::make_unique<QtAudioPlayer>();
    m_share = std::make_unique<AudioShare>(*m_output);
    m_metronomeOutput = std::make_unique<SharedAudioPlayer>(*m_share);
    m_metronome = std::make_unique<Metronome>(m_settings->store(), *m_metronomeOutput, m_clock);
    m_chime = std::make_unique<BellChime>(*m_share, m_clock);
    m_mascot = std::make_unique<MascotBrain>(MascotBrain::Mood::Content, true);
}

AppDelegate::~AppDelegate() = default;

TimerEngine& AppDelegate::engine() {
    if (!m_engine)
        m_engine = std::make_unique<TimerEngine>(*m_settings, *m_speaker, m_clock, m_chime.get());
    return *m_engine;
}

void AppDelegate::start() {
    // GNOME before its global-shortcuts portal gives applications no hotkey, but runs commands
    // from its own keyboard shortcuts; Settings offers to add one.
    if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("GNOME"))) {
        const QString self = QCoreApplication::applicationFilePath();
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pobi")) == self
                                    ? QStringLiteral("pobi")
                                    : QLatin1Char('\'') + self + QLatin1Char('\'');
        m_desktopShortcut = std::make_unique<GnomeShortcut>(program + QStringLiteral(" --toggle"));
    }
    m_director = std::make_unique<Director>(*m_mascot, engine(), *m_metronome, *m_speaker,
                                            *m_settings, m_clock);
    // One reader of typed lines for the popup, the snapshot and the command line alike; made
    // already when a command line was checked before the launch.
    interpreter();

    const bool snapshot = m_line.mode() == CommandLine::Mode::Snapshot;
    if (!snapshot)
        m_hotkeyService = HotkeyServiceFactory::create();
    auto content = [this](PopoverUI& ui) -> QWidget* {
        auto* view = new PopoverView(engine(), *m_speaker, *m_settings, ui, *m_metronome, *m_mascot,
                                     m_clock, *m_interpreter);
        view->settingsView()->setHotkeyService(m_hotkeyService.get());
        view->settingsView()->setDesktopShortcut(m_desktopShortcut.get());
        return view;
    };
    m_status = std::make_unique<StatusController>(
        engine(), *m_speaker, *m_settings, *m_metronome, m_clock, content,
        [](bool talking, int px) {
            return Glyph::image(talking, px / double(Glyph::logicalSize.width()));
        },
        !snapshot);
    m_status->setHotkeyService(m_hotkeyService.get());
    m_status->setTranslucentPopup(X11Compositing::active());
    if (m_status->popup())
        m_status->popup()->setToggleShortcut(QKeySequence(toggleKeys));

    // Snapshot mode: render the popup (or check the metronome) and quit, silently. It takes
    // no hotkey either: that belongs to the Pobi that may be running beside it.
    if (snapshot) {
        m_speaker->setSilent(true);
        m_status->snapshot(m_line.directory(), m_line.command(), m_line.dark(), *m_interpreter);
        return;
    }

    // A run that a previous Pobi left (quit, logged out, crashed) goes on where it was. Not in
    // snapshot mode, whose own runs are only for the picture.
    engine().restore();

    // The popup follows the desktop's light or dark choice, which Qt alone does not see.
    m_colorScheme = std::make_unique<PortalColorScheme>();
    Appearance::follow(*m_colorScheme);
    m_notifier = std::make_unique<FreedesktopNotifier>();
    m_endNotifier = std::make_unique<EndNotifier>(engine(), *m_settings, *m_notifier, m_clock);

    QPointer<AppDelegate> self(this);
    m_hotkey = std::make_unique<Hotkey>(*m_hotkeyService, toggleKeys, [self] {
        if (self)
            self->toggle();
    });

    // Without a tray a Pobi started from the menu would be invisible: show its window.
    if (!m_status->trayAvailable())
        m_status->show();
    if (m_settings->store().value(QStringLiteral("hasLaunched")).toBool())
        return;
    m_settings->save(QStringLiteral("hasLaunched"), true);
    m_clock.singleShot(400, this, [this] {
        m_status->show();
        const bool hotkey = m_hotkeyService->backend() != HotkeyService::Backend::Unavailable;
        const QString text = QString::fromUtf8(hotkey ? greeting : greetingWithoutHotkey);
        qCDebug(lcApp).noquote() << QStringLiteral("greeting ") + text;
        m_speaker->say(text, *m_settings);
    });
}

void AppDelegate::toggle() {
    if (!m_status)
        return;
    if (m_status->popupShown())
        m_status->closePopup();
    else
        m_status->show();
}

CommandInterpreter& AppDelegate::interpreter() {
    if (!m_interpreter)
        m_interpreter =
            std::make_unique<CommandInterpreter>(engine(), *m_metronome, *m_settings, m_clock);
    return *m_interpreter;
}

CommandInterpreter::Outcome AppDelegate::check(const QString& line) {
    return interpreter().interpret(line, CommandInterpreter::Field::Timer);
}

InstanceMessage::Reply AppDelegate::handle(const InstanceMessage::Message& message) {
    using Request = InstanceMessage::Request;
    // Requests are served once the launch is done; a snapshot serves none.
    if (!m_status)
        return {false, QStringLiteral("Pobi is still starting")};
    switch (message.request) {
    case Request::Open:
        m_status->show();
        return {true, {}};
    case Request::Toggle:
        toggle();
        return {true, {}};
    case Request::Status:
        return {true, StatusReport::text(engine(), *m_metronome, *m_settings, m_clock)};
    case Request::StatusJson:
        return {true, QString::fromUtf8(
                          StatusReport::json(engine(), *m_metronome, *m_settings, m_clock))};
    case Request::Run:
        break;
    }
    const CommandInterpreter::Outcome outcome =
        interpreter().run(message.text, CommandInterpreter::Field::Timer);
    if (!outcome.accepted())
        return {false, outcome.error};
    if (outcome.action == CommandInterpreter::Action::ShowSettings) {
        m_status->show();
        m_status->ui().setShowSettings(true);
    } else if (outcome.action == CommandInterpreter::Action::Quit) {
        // After the reply has gone out, and after the event loop has started when the quitting
        // line is this process's own.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    }
    return {true, outcome.summary};
}
