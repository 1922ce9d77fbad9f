#pragma once

#include "HotkeyService.h"

#include <memory>

// Picks the hotkey backend for the running desktop: a key grab on X11, the global-shortcuts
// portal on Wayland, and otherwise a service that explains the way around it.
class HotkeyServiceFactory {
public:
    static std::unique_ptr<HotkeyService> create(QObject* parent = nullptr);
    static QString noBackendReason();
};
