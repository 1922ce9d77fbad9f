#pragma once

#include <QDBusAbstractInterface>
#include <QVariantMap>

// A portal Request object: the answer to one portal call arrives as its Response signal.
class PortalRequest final : public QDBusAbstractInterface {
    Q_OBJECT
public:
    PortalRequest(const QString& service, const QString& path, const QDBusConnection& bus,
                  QObject* parent = nullptr)
        : QDBusAbstractInterface(service, path, "org.freedesktop.portal.Request", bus, parent) {}

signals:
    // response: 0 success, 1 cancelled by the user, 2 other failure.
    void Response(uint response, const QVariantMap& results);
};
