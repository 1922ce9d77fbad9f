#include "platform/portal/PortalColorScheme.h"

#include "core/log/Log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

// The key's value: 0 no preference, 1 dark, 2 light; anything else counts as no preference.
ColorSchemeService::Scheme fromPortal(QVariant value) {
    // Read (the older method) wraps the value in a second variant.
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    switch (value.toUInt()) {
    case 1:
        return ColorSchemeService::Scheme::Dark;
    case 2:
        return ColorSchemeService::Scheme::Light;
    default:
        return ColorSchemeService::Scheme::NoPreference;
    }
}
} // namespace

PortalColorScheme::PortalColorScheme(QDBusConnection bus, QObject* parent)
    : ColorSchemeService(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected())
        return;
    // The slot's parameter types are looked up by name, which works only once registered.
    qRegisterMetaType<QDBusVariant>();
    m_bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"),
                  this, SLOT(settingChanged(QString, QString, QDBusVariant)));
    read(QStringLiteral("ReadOne"));
}

void PortalColorScheme::read(const QString& method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, method);
    call << appearance << colorScheme;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, method] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (reply.isError()) {
            // Portals before version 2 have only Read.
            if (method == QLatin1String("ReadOne") &&
                reply.error().type() == QDBusError::UnknownMethod)
                return read(QStringLiteral("Read"));
            qCDebug(lcColorScheme)
                << "no colour scheme from the portal:" << reply.error().message();
            return;
        }
        if (!m_changed)
            setScheme(fromPortal(reply.value().variant()));
    });
}

void PortalColorScheme::settingChanged(const QString& group, const QString& key,
                                       const QDBusVariant& value) {
    if (group != appearance || key != colorScheme)
        return;
    m_changed = true;
    setScheme(fromPortal(value.variant()));
}
