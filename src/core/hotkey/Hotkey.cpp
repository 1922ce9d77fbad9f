#include "core/hotkey/Hotkey.h"

#include "core/hotkey/HotkeyService.h"

#include <limits>

Hotkey::Hotkey(HotkeyService& service, quint32 keyCode, quint32 modifiers,
               std::function<void()> action, QObject* parent)
    : QObject(parent), m_service(&service), m_action(std::move(action)) {
    // Queued: the platform's handler must have returned before the action can open windows,
    // start timers or destroy this very object.
    connect(
        &service, &HotkeyService::activated, this,
        [this] {
            // A copy, because the action may destroy this Hotkey.
            if (const auto copy = m_action)
                copy();
        },
        Qt::QueuedConnection);
    service.registerHotkey(keyCode, modifiers);
}

Hotkey::~Hotkey() {
    if (m_service) {
        disconnect(m_service, nullptr, this, nullptr);
        m_service->unregisterHotkey();
    }
}

quint32 Hotkey::checked(qint64 value) {
    if (value < 0 || value > static_cast<qint64>(std::numeric_limits<quint32>::max()))
        qFatal("Hotkey: key code or modifier mask %lld does not fit into 32 bits",
               static_cast<long long>(value));
    return static_cast<quint32>(value);
}

#include "moc_Hotkey.cpp"
