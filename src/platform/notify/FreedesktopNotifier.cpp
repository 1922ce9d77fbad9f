#include "platform/notify/FreedesktopNotifier.h"

#include "core/log/Log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
constexpr uchar urgencyNormal = 1;
} // namespace

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection bus, QObject* parent)
    : Notifier(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
}

void FreedesktopNotifier::fail(const QString& reason) {
    if (m_failed)
        return;
    m_failed = true;
    qCWarning(lcNotify).noquote() << "Pobi: no desktop notifications:" << reason;
}

void FreedesktopNotifier::post(const QString& title, const QString& body,
                               const QList<Action>& actions) {
    if (!m_bus.isConnected())
        return fail(QStringLiteral("no D-Bus session bus"));
    QStringList flat;
    for (const Action& a : actions)
        flat << a.key << a.label;
    const QString appId = QStringLiteral(POBI_APP_ID);
    const QVariantMap hints{{QStringLiteral("desktop-entry"), appId},
                            {QStringLiteral("urgency"), QVariant::fromValue(urgencyNormal)}};
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    call << QStringLiteral("Pobi") << m_id << appId << title << body << flat << hints
         << -1; // the server's own timeout
    ++m_pending;
    m_withdrawn = false;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        --m_pending;
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError())
            return fail(reply.error().message());
        m_id = reply.value();
        if (m_withdrawn)
            close(m_id);
        else
            m_open = true;
    });
}

void FreedesktopNotifier::withdraw() {
    if (m_pending > 0)
        m_withdrawn = true;
    if (m_open)
        close(m_id);
    m_open = false;
}

void FreedesktopNotifier::close(uint id) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    // An id the server has already closed gets an error reply, which means nothing here.
    m_bus.asyncCall(call, 5000);
}

void FreedesktopNotifier::onActionInvoked(uint id, const QString& key) {
    if (m_open && id == m_id)
        emit actionInvoked(key);
}

void FreedesktopNotifier::onClosed(uint id, uint) {
    if (id == m_id)
        m_open = false;
}
