#pragma once

#include "core/desktop/ColorSchemeService.h"

#include <QDBusConnection>
#include <QDBusVariant>

// The desktop's light or dark preference from the settings portal (the "color-scheme" key of
// org.freedesktop.appearance): read once at start, then followed through SettingChanged. No
// portal, or one without the key, leaves it at NoPreference.
class PortalColorScheme final : public ColorSchemeService {
    Q_OBJECT
public:
    explicit PortalColorScheme(QDBusConnection bus = QDBusConnection::sessionBus(),
                               QObject* parent = nullptr);

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void read(const QString& method);

    QDBusConnection m_bus;
    bool m_changed = false; // a SettingChanged came first: a late reply to the read is stale
};
