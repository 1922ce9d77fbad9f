#pragma once

#include <QKeyCombination>
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
    Hotkey(HotkeyService& service, QKeyCombination keys, std::function<void()> action,
           QObject* parent = nullptr);
    ~Hotkey() override;

private:
    QPointer<HotkeyService> m_service;
    std::function<void()> m_action;
};
