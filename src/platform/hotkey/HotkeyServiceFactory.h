#pragma once

#include "core/hotkey/HotkeyService.h"

#include <QProcessEnvironment>
#include <memory>

// Picks the hotkey backend for the running desktop: a key grab on X11, the global-shortcuts
// portal on Wayland, and otherwise a service that explains the way around it.
class HotkeyServiceFactory {
public:
    static std::unique_ptr<HotkeyService> create(QObject* parent = nullptr);
    // The backend create() builds for a Qt platform plugin in a session environment.
    static HotkeyService::Backend choose(const QString& platform, const QProcessEnvironment& env);
    static bool waylandSession(const QProcessEnvironment& env);
    static QString noBackendReason();
};
