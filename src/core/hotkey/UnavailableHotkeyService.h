#pragma once

#include "core/hotkey/HotkeyService.h"

// For desktops with neither an X11 server nor a global-shortcuts portal: every registration
// fails with the reason given, which tells the user what to do instead.
class UnavailableHotkeyService final : public HotkeyService {
public:
    explicit UnavailableHotkeyService(QString reason, QObject* parent = nullptr)
        : HotkeyService(parent), m_why(std::move(reason)) {}

    void registerHotkey(QKeyCombination) override { fail(m_why); }
    void unregisterHotkey() override {}

private:
    QString m_why;
};
