#include "Hotkey.h"
#include "portal/PortalHotkeyService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool waitUntil(const std::function<bool()>& pred, int ms = 5000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!pred()) {
        if (elapsed.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A private session bus for one test.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (m_daemon.waitForReadyRead(5000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(2000);
    }
    QDBusConnection connect(const QString& name) {
        m_names << name;
        return QDBusConnection::connectToBus(m_address, name);
    }
    bool ok() const { return !m_address.isEmpty(); }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

// Just enough of xdg-desktop-portal's GlobalShortcuts: answers each call with a request handle
// and then the request's Response signal, as the real portal does.
class FakePortal final : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString member = message.member();
        calls << member;
        if (member == QLatin1String("Get")) {
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        if (member == QLatin1String("Close")) {
            closedSessions << message.path();
            m_bus.send(message.createReply());
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/") +
                                sender + QLatin1Char('/') +
                                options.value(QStringLiteral("handle_token")).toString();
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/") + sender +
                      QLatin1Char('/') +
                      options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
        } else if (member == QLatin1String("BindShortcuts")) {
            boundSession = qdbus_cast<QDBusObjectPath>(message.arguments().at(0)).path();
            const QDBusArgument list = message.arguments().at(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap props;
                list.beginStructure();
                list >> id >> props;
                list.endStructure();
                shortcuts.insert(id, props);
            }
            list.endArray();
        }
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << responseCode << results;
        m_bus.send(response);
        return true;
    }

    void activate(const QString& sessionPath, const QString& id) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << id
               << QVariant::fromValue(qulonglong(1)) << QVariantMap();
        m_bus.send(signal);
    }

    QStringList calls;
    QString session, boundSession;
    QStringList closedSessions;
    QMap<QString, QVariantMap> shortcuts;
    uint responseCode = 0;

private:
    QDBusConnection m_bus;
};

TEST(PortalHotkey, WithoutASessionBusItIsUnavailable) {
    PortalHotkeyService service(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/pobi-bus"), QStringLiteral("pobi-no-bus")));
    service.registerHotkey(17, 6144);
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(service.reason(), QStringLiteral("no D-Bus session bus"));
    QDBusConnection::disconnectFromBus(QStringLiteral("pobi-no-bus"));
}

TEST(PortalHotkey, ABusWithoutThePortalMakesItUnavailable) {
    PrivateBus bus;
    ASSERT_TRUE(bus.ok()) << "dbus-daemon did not start";
    PortalHotkeyService service(bus.connect(QStringLiteral("pobi-client")));
    service.registerHotkey(17, 6144);
    ASSERT_TRUE(waitUntil([&] { return service.reason() != HotkeyService::notRegistered(); }));
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_TRUE(service.reason().startsWith(QStringLiteral("no GlobalShortcuts portal")))
        << service.reason().toStdString();
}

TEST(PortalHotkey, BindsControlAltTAndRunsTheActionOnActivation) {
    PrivateBus bus;
    ASSERT_TRUE(bus.ok()) << "dbus-daemon did not start";
    QDBusConnection portalBus = bus.connect(QStringLiteral("pobi-portal"));
    FakePortal portal(portalBus);
    ASSERT_TRUE(portalBus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                &portal, QDBusConnection::SubPath));
    ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

    PortalHotkeyService service(bus.connect(QStringLiteral("pobi-client")));
    int runs = 0;
    auto hotkey = std::make_unique<Hotkey>(service, 17, 6144, [&] { ++runs; });
    ASSERT_TRUE(waitUntil([&] { return service.backend() == HotkeyService::Backend::Portal; }))
        << service.reason().toStdString();
    EXPECT_EQ(portal.calls, QStringList({"Get", "CreateSession", "BindShortcuts"}));
    EXPECT_EQ(portal.boundSession, portal.session);
    ASSERT_TRUE(portal.shortcuts.contains(QString::fromLatin1(PortalHotkeyService::shortcutId)));
    EXPECT_EQ(portal.shortcuts.first().value(QStringLiteral("preferred_trigger")).toString(),
              QStringLiteral("CTRL+ALT+t"));

    portal.activate(portal.session, QString::fromLatin1(PortalHotkeyService::shortcutId));
    ASSERT_TRUE(waitUntil([&] { return runs == 1; }));
    // Another session's or another shortcut's activation is not ours.
    portal.activate(portal.session + QStringLiteral("x"),
                    QString::fromLatin1(PortalHotkeyService::shortcutId));
    portal.activate(portal.session, QStringLiteral("other"));
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(runs, 1);

    hotkey.reset();
    EXPECT_TRUE(waitUntil([&] { return portal.closedSessions == QStringList{portal.session}; }));
    portal.activate(portal.session, QString::fromLatin1(PortalHotkeyService::shortcutId));
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(runs, 1);
}

TEST(PortalHotkey, ARefusedBindingIsUnavailable) {
    PrivateBus bus;
    ASSERT_TRUE(bus.ok()) << "dbus-daemon did not start";
    QDBusConnection portalBus = bus.connect(QStringLiteral("pobi-portal"));
    FakePortal portal(portalBus);
    portal.responseCode = 1; // the user cancelled
    ASSERT_TRUE(portalBus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                &portal, QDBusConnection::SubPath));
    ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    PortalHotkeyService service(bus.connect(QStringLiteral("pobi-client")));
    service.registerHotkey(17, 6144);
    ASSERT_TRUE(waitUntil([&] { return service.reason() != HotkeyService::notRegistered(); }));
    EXPECT_EQ(service.reason(), QStringLiteral("the portal did not open a shortcuts session"));
}

} // namespace
