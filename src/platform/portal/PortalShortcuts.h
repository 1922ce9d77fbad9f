#pragma once

#include <QDBusAbstractInterface>
#include <QDBusObjectPath>
#include <QVariantMap>

// The signals of the portal's GlobalShortcuts interface that the hotkey listens to.
class PortalShortcuts final : public QDBusAbstractInterface {
    Q_OBJECT
public:
    PortalShortcuts(const QString& service, const QString& path, const QDBusConnection& bus,
                    QObject* parent = nullptr)
        : QDBusAbstractInterface(service, path, "org.freedesktop.portal.GlobalShortcuts", bus,
                                 parent) {}

signals:
    void Activated(const QDBusObjectPath& session, const QString& shortcutId, qulonglong timestamp,
                   const QVariantMap& options);
};
