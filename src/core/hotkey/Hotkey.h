#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class HotkeyService;

// The application's one global shortcut. The action runs on the main thread, always after the
// platform's event handler has returned (one event-loop turn later), once per press. Destroying
// the Hotkey releases the combination.
class Hotkey : public QObject {
    Q_OBJECT
public:
    Hotkey(HotkeyService& service, quint32 keyCode, quint32 modifiers, std::function<void()> action,
           QObject* parent = nullptr);
    ~Hotkey() override;

    // For key codes and masks that come as wider integers: a value outside the unsigned 32-bit
    // range is a programming error and stops the process.
    static quint32 checked(qint64 value);

private:
    QPointer<HotkeyService> m_service;
    std::function<void()> m_action;
};
