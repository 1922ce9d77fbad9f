#include "HotkeyServiceFactory.h"

#include "UnavailableHotkeyService.h"
#include "portal/PortalHotkeyService.h"
#include "x11/X11HotkeyService.h"

#include <QGuiApplication>

QString HotkeyServiceFactory::noBackendReason() {
    return QStringLiteral("no X11 or portal: bind a shortcut to pobi --toggle");
}

std::unique_ptr<HotkeyService> HotkeyServiceFactory::create(QObject* parent) {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (x11 && x11->connection())
            return std::make_unique<X11HotkeyService>(x11->connection(), parent);
    }
    if (platform.startsWith(QLatin1String("wayland")))
        return std::make_unique<PortalHotkeyService>(QDBusConnection::sessionBus(), parent);
    return std::make_unique<UnavailableHotkeyService>(noBackendReason(), parent);
}
