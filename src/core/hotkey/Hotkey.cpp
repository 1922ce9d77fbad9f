#include "core/hotkey/Hotkey.h"

#include "core/hotkey/HotkeyService.h"

Hotkey::Hotkey(HotkeyService& service, QKeyCombination keys, std::function<void()> action,
               QObject* parent)
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
    service.registerHotkey(keys);
}

Hotkey::~Hotkey() {
    if (m_service) {
        disconnect(m_service, nullptr, this, nullptr);
        m_service->unregisterHotkey();
    }
}

#include "moc_Hotkey.cpp"
