#pragma once

#include "app/CommandLine.h"
#include "core/director/CommandInterpreter.h"
#include "core/instance/InstanceMessage.h"

#include <QObject>
#include <memory>

class AudioShare;
class BellChime;
class Clock;
class ColorSchemeService;
class DesktopShortcut;
class Director;
class EndNotifier;
class Hotkey;
class HotkeyService;
class MascotBrain;
class Metronome;
class Notifier;
class QtAudioPlayer;
class Settings;
class SharedAudioPlayer;
class Speaker;
class SpeechdService;
class StatusController;
class TimerEngine;
class XdgAutostart;

// Owns every long-lived object of the running application and wires them together once the
// event loop is about to start. Nothing here is released before the process ends.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static constexpr const char* greeting =
        "Hi, I'm Pobi. Press control alt T from anywhere, type a time, and I'll keep count out "
        "loud.";
    // When the hotkey could not be registered: the way in that still works.
    static constexpr const char* greetingWithoutHotkey =
        "Hi, I'm Pobi. Click my icon, or bind a shortcut to pobi --toggle, type a time, and I'll "
        "keep count out loud.";

    explicit AppDelegate(CommandLine line, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds the engine, director, tray and hotkey, then runs the snapshot mode or greets a
    // first-time user.
    void start();

    // Created on first use.
    TimerEngine& engine();
    StatusController* status() const { return m_status.get(); }

    // What line would do, typed in the timer field, without doing it: a Pobi started with a
    // command checks it before it shows anything.
    CommandInterpreter::Outcome check(const QString& line);
    // A request from a later `pobi` process, or this one's own command line; the reply is
    // what that process prints.
    InstanceMessage::Reply handle(const InstanceMessage::Message& message);
    void toggle();

private:
    CommandInterpreter& interpreter();

    CommandLine m_line;
    Clock& m_clock;
    std::unique_ptr<XdgAutostart> m_autostart;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<SpeechdService> m_speech;
    std::unique_ptr<Speaker> m_speaker;
    std::unique_ptr<QtAudioPlayer> m_output;
    std::unique_ptr<AudioShare> m_share;
    std::unique_ptr<SharedAudioPlayer> m_metronomeOutput;
    std::unique_ptr<Metronome> m_metronome;
    std::unique_ptr<BellChime> m_chime;
    std::unique_ptr<MascotBrain> m_mascot;
    std::unique_ptr<TimerEngine> m_engine;
    std::unique_ptr<Director> m_director;
    std::unique_ptr<CommandInterpreter> m_interpreter;
    std::unique_ptr<DesktopShortcut> m_desktopShortcut; // outlives the Settings page using it
    std::unique_ptr<StatusController> m_status;
    std::unique_ptr<ColorSchemeService> m_colorScheme;
    std::unique_ptr<HotkeyService> m_hotkeyService;
    std::unique_ptr<Hotkey> m_hotkey;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<EndNotifier> m_endNotifier;
};
