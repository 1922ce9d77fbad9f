#include "platform/portal/PortalHotkeyService.h"

#include "core/hotkey/HotkeyKeys.h"
#include "platform/portal/PortalRequest.h"
#include "platform/portal/PortalShortcuts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <memory>

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// One entry of BindShortcuts' a(sa{sv}).
struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& arg, const Shortcut& s) {
    arg.beginStructure();
    arg << s.id << s.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, Shortcut& s) {
    arg.beginStructure();
    arg >> s.id >> s.properties;
    arg.endStructure();
    return arg;
}
QList<Shortcut> toggleShortcut(const QString& trigger) {
    Shortcut shortcut;
    shortcut.id = QString::fromLatin1(PortalHotkeyService::shortcutId);
    shortcut.properties.insert(QStringLiteral("description"), QStringLiteral("Open Pobi"));
    shortcut.properties.insert(QStringLiteral("preferred_trigger"), trigger);
    return {shortcut};
}
} // namespace

Q_DECLARE_METATYPE(Shortcut)

PortalHotkeyService::PortalHotkeyService(QDBusConnection bus, QObject* parent)
    : HotkeyService(parent), m_bus(std::move(bus)) {
    // The signal relay looks the parameter types of Activated up by name, which works only for
    // types registered by name.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
}

PortalHotkeyService::~PortalHotkeyService() {
    closeSession();
}

QString PortalHotkeyService::newToken() {
    return QStringLiteral("pobi%1_%2").arg(reinterpret_cast<quintptr>(this)).arg(++m_tokens);
}

QString PortalHotkeyService::expectedRequestPath(const QString& token) const {
    QString sender = m_bus.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

void PortalHotkeyService::registerHotkey(QKeyCombination keys) {
    closeSession();
    const int generation = ++m_generation;
    if (!m_bus.isConnected()) {
        fail(QStringLiteral("no D-Bus session bus"));
        return;
    }
    if (!HotkeyKeys::supported(keys)) {
        fail(QStringLiteral("key 0x%1 with modifiers 0x%2 has no portal equivalent")
                 .arg(keys.key(), 0, 16)
                 .arg(keys.keyboardModifiers().toInt(), 0, 16));
        return;
    }
    m_trigger = HotkeyKeys::portalTrigger(keys);
    m_description = HotkeyKeys::describe(keys);

    // Ask for the interface's version first: a portal without GlobalShortcuts (or no portal at
    // all) answers with an error instead of leaving a request hanging.
    QDBusMessage get = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << shortcutsInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (reply.isError()) {
            fail(QStringLiteral("no GlobalShortcuts portal (%1)").arg(reply.error().message()));
            return;
        }
        m_portal = new PortalShortcuts(portalService, portalPath, m_bus, this);
        connect(m_portal, &PortalShortcuts::Activated, this,
                [this](const QDBusObjectPath& session, const QString& id, qulonglong,
                       const QVariantMap&) {
                    if (!m_session.isEmpty() && session.path() == m_session &&
                        id == QLatin1String(shortcutId))
                        emit activated();
                });
        createSession();
    });
}

void PortalHotkeyService::request(const QString& method, const QList<QVariant>& args,
                                  QVariantMap options, Reply done) {
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    const int generation = m_generation;
    auto answered = std::make_shared<bool>(false);

    auto listen = [this, done, generation, answered](const QString& path) {
        auto* pending = new PortalRequest(portalService, path, m_bus, this);
        connect(
            pending, &PortalRequest::Response, this,
            [this, pending, done, generation, answered](uint response, const QVariantMap& results) {
                if (*answered)
                    return;
                *answered = true;
                pending->deleteLater(); // not now: it is emitting
                if (generation == m_generation)
                    done(response, results);
            });
        return QPointer<PortalRequest>(pending);
    };
    // Listen on the path the portal will use before calling, so a quick Response is not lost.
    const QPointer<PortalRequest> first = listen(expectedRequestPath(token));

    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    QList<QVariant> all = args;
    all << options;
    call.setArguments(all);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, method, listen, first, answered, generation] {
                watcher->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                if (reply.isError() || generation != m_generation) {
                    if (first)
                        first->deleteLater();
                    if (reply.isError() && generation == m_generation)
                        fail(QStringLiteral("the portal's %1 failed (%2)")
                                 .arg(method, reply.error().message()));
                    return;
                }
                // Older portals choose their own request path.
                if (!*answered && first && reply.value().path() != first->path()) {
                    first->deleteLater();
                    listen(reply.value().path());
                }
            });
}

void PortalHotkeyService::createSession() {
    QVariantMap options;
    // The desktop may keep the binding under the session's token (KDE names its shortcut group
    // after it): a token that changed every run would make each run a new group fighting the last
    // one for the key. Portals check it as part of an object path, hence letters and _ only.
    options.insert(QStringLiteral("session_handle_token"), QString::fromLatin1(sessionToken));
    // Some portals (KDE Plasma 5.27) take the shortcuts from here and ignore BindShortcuts' list.
    options.insert(QStringLiteral("shortcuts"), QVariant::fromValue(toggleShortcut(m_trigger)));
    request(QStringLiteral("CreateSession"), {}, options,
            [this](uint response, const QVariantMap& results) {
                const QString session = results.value(QStringLiteral("session_handle")).toString();
                if (response != 0 || session.isEmpty()) {
                    fail(QStringLiteral("the portal did not open a shortcuts session"));
                    return;
                }
                m_session = session;
                bindShortcuts();
            });
}

void PortalHotkeyService::bindShortcuts() {
    const QList<QVariant> args = {QVariant::fromValue(QDBusObjectPath(m_session)),
                                  QVariant::fromValue(toggleShortcut(m_trigger)),
                                  QString()}; // no parent window
    request(QStringLiteral("BindShortcuts"), args, {},
            [this](uint response, const QVariantMap& results) {
                // A key another program holds is silently left out: the answer then lists no
                // shortcut.
                QList<Shortcut> bound;
                if (results.contains(QStringLiteral("shortcuts")))
                    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> bound;
                if (response != 0 || bound.isEmpty()) {
                    fail(QStringLiteral("the portal did not bind %1").arg(m_description));
                    closeSession();
                    return;
                }
                setStatus(Backend::Portal);
            });
}

void PortalHotkeyService::closeSession() {
    // Later, because this may run from inside one of their signals.
    for (PortalRequest* pending : findChildren<PortalRequest*>(Qt::FindDirectChildrenOnly))
        pending->deleteLater();
    if (m_portal)
        m_portal->deleteLater();
    m_portal = nullptr;
    if (!m_session.isEmpty() && m_bus.isConnected()) {
        m_bus.asyncCall(QDBusMessage::createMethodCall(
            portalService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
            QStringLiteral("Close")));
    }
    m_session.clear();
}

void PortalHotkeyService::unregisterHotkey() {
    ++m_generation;
    closeSession();
    setStatus(Backend::Unavailable, notRegistered());
}
