#include "platform/hotkey/HotkeyServiceFactory.h"

#include "core/hotkey/UnavailableHotkeyService.h"
#include "core/log/Log.h"
#include "platform/portal/PortalHotkeyService.h"
#include "platform/x11/X11HotkeyService.h"

#include <QGuiApplication>

QString HotkeyServiceFactory::noBackendReason() {
    return QStringLiteral("no X11 or portal: bind a shortcut to pobi --toggle");
}

bool HotkeyServiceFactory::waylandSession(const QProcessEnvironment& env) {
    return !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           env.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
}

HotkeyService::Backend HotkeyServiceFactory::choose(const QString& platform,
                                                    const QProcessEnvironment& env) {
    // In a Wayland session the xcb platform talks to XWayland, whose grabs see keys only while an
    // X11 window has focus: that is no global hotkey, so only the portal counts there.
    if (waylandSession(env) || platform.startsWith(QLatin1String("wayland")))
        return HotkeyService::Backend::Portal;
    if (platform == QLatin1String("xcb"))
        return HotkeyService::Backend::X11;
    return HotkeyService::Backend::Unavailable;
}

std::unique_ptr<HotkeyService> HotkeyServiceFactory::create(QObject* parent) {
    const QString platform = QGuiApplication::platformName();
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const bool wayland = waylandSession(env);
    switch (choose(platform, env)) {
    case HotkeyService::Backend::X11:
        if (auto* x11 =
                qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            x11 && x11->connection()) {
            qCDebug(lcHotkey) << "backend: X11 key grab, for Qt platform" << platform;
            return std::make_unique<X11HotkeyService>(x11->connection(), parent);
        }
        qCDebug(lcHotkey) << "no backend: Qt platform" << platform << "has no X connection";
        break;
    case HotkeyService::Backend::Portal:
        qCDebug(lcHotkey) << "backend: global shortcuts portal, for Qt platform" << platform
                          << (wayland ? "in a Wayland session" : "outside a Wayland session");
        return std::make_unique<PortalHotkeyService>(QDBusConnection::sessionBus(), parent);
    case HotkeyService::Backend::Unavailable:
        qCDebug(lcHotkey) << "no backend: Qt platform" << platform << "is neither X11 nor Wayland";
        break;
    }
    return std::make_unique<UnavailableHotkeyService>(noBackendReason(), parent);
}
