#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/desktop/EndNotifier.h"
#include "core/hotkey/Hotkey.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"
#include "platform/notify/FreedesktopNotifier.h"
#include "platform/portal/PortalHotkeyService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

namespace {

constexpr QKeyCombination ctrlAltT(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);
using Shortcut = std::pair<QString, QVariantMap>;

// Just enough of xdg-desktop-portal's GlobalShortcuts: answers each call with a request handle
// and then the request's Response signal, as the real portal does.
class FakePortal final : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
    }
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString member = message.member();
        const auto is = [&](const char* name) { return member == QLatin1String(name); };
        if (is("Get") || is("Close")) {
            m_bus.send(is("Get") ? message.createReply(QVariant::fromValue(QDBusVariant(1u)))
                                 : message.createReply());
            return true;
        }
        const auto options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        const QString sender = message.service().mid(1).replace(u'.', u'_') + u'/';
        const QString request = "/org/freedesktop/portal/desktop/request/" + sender +
                                options.value(QStringLiteral("handle_token")).toString();
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (is("CreateSession")) {
            session = "/org/freedesktop/portal/desktop/session/" + sender +
                      options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
            options.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> sessionShortcuts;
        } else if (is("BindShortcuts")) {
            message.arguments().at(1).value<QDBusArgument>() >> shortcuts;
            // A key held elsewhere is left out of the answer.
            results.insert(QStringLiteral("shortcuts"),
                           QVariant::fromValue(keyTaken ? QList<Shortcut>() : shortcuts));
        }
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        m_bus.send(response << responseCode << results);
        return true;
    }

    void activate(const QString& sessionPath, const QString& id) {
        m_bus.send(
            QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                       QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                       QStringLiteral("Activated"))
            << QVariant::fromValue(QDBusObjectPath(sessionPath)) << id << qulonglong(1)
            << QVariantMap());
    }

    QString session;
    uint responseCode = 0;
    bool keyTaken = false;
    QList<Shortcut> shortcuts, sessionShortcuts;

private:
    QDBusConnection m_bus;
};

// Just enough of a notification server: a new id for each notification, unless it replaces one.
struct FakeNotifications final : QDBusVirtualObject {
    explicit FakeNotifications(QDBusConnection b) : bus(std::move(b)) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QVariantList a = message.arguments();
        const bool notify = message.member() == QLatin1String("Notify");
        calls << (notify ? "Notify " + a[1].toString() + ' ' + a[3].toString()
                         : "Close " + a[0].toString());
        args = notify ? a : args;
        const uint id = a.value(1).toUInt() ? a[1].toUInt() : uint(calls.size());
        bus.send(notify ? message.createReply(id) : message.createReply());
        return true;
    }
    QDBusConnection bus;
    QStringList calls; // Notify with replaces_id and title, Close with the id
    QVariantList args; // of the last Notify
};

// A private session bus, on which a test may put the fake portal. Its configuration names no
// service folder, so nothing installed on the machine (a real portal) is ever started on it.
class PortalHotkey : public ::testing::Test {
protected:
    void SetUp() override {
        const QString config = m_dir.file(QStringLiteral("bus.conf"));
        ASSERT_TRUE(TestDirs::write(
            config, "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                    "<auth>EXTERNAL</auth><policy context='default'><allow send_destination='*' "
                    "eavesdrop='true'/><allow eavesdrop='true'/><allow own='*'/></policy>"
                    "</busconfig>"));
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {"--config-file=" + config, "--nofork", "--print-address"});
        ASSERT_TRUE(m_daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    void TearDown() override {
        for (const QString& name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(2000);
    }
    QDBusConnection bus(const char* name) {
        m_names << QLatin1String(name);
        return QDBusConnection::connectToBus(m_address, m_names.last());
    }
    std::unique_ptr<FakePortal> startPortal(uint responseCode = 0) {
        QDBusConnection portalBus = bus("pobi-portal");
        auto portal = std::make_unique<FakePortal>(portalBus);
        portal->responseCode = responseCode;
        EXPECT_TRUE(
            portalBus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                            portal.get(), QDBusConnection::SubPath));
        EXPECT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        return portal;
    }
    // Registers control-alt-T and waits until the service has an answer.
    QString reasonAfterRegistering(PortalHotkeyService& service) {
        const QString before = service.reason();
        service.registerHotkey(ctrlAltT);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return service.reason() != HotkeyService::notRegistered() && service.reason() != before;
        }));
        EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
        return service.reason();
    }

private:
    TestDirs m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

// Without a portal, or with one that refuses the session or leaves the key out of the binding,
// the hotkey is unavailable and says why; bound, only its own activation runs the action.
// Signals from one sender arrive in order, so a wanted activation sent last shows that the
// unwanted ones before it have been handled.
TEST_F(PortalHotkey, BindsControlAltTAndRunsTheActionOnItsActivationOnly) {
    PortalHotkeyService service(bus("pobi-client"));
    EXPECT_TRUE(
        reasonAfterRegistering(service).startsWith(QLatin1String("no GlobalShortcuts portal")))
        << service.reason().toStdString();
    const auto portal = startPortal(1); // the user cancelled
    EXPECT_EQ(reasonAfterRegistering(service),
              QStringLiteral("the portal did not open a shortcuts session"));
    std::tie(portal->responseCode, portal->keyTaken) = std::pair(0u, true);
    EXPECT_EQ(reasonAfterRegistering(service),
              QStringLiteral("the portal did not bind control-alt-T"));

    portal->keyTaken = false;
    int runs = 0;
    const Hotkey hotkey(service, ctrlAltT, [&] { ++runs; });
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return service.backend() == HotkeyService::Backend::Portal;
    })) << service.reason().toStdString();
    // Also offered when the session opens: some portals take them from there only.
    EXPECT_EQ(portal->sessionShortcuts, portal->shortcuts);
    ASSERT_EQ(portal->shortcuts.size(), 1);
    EXPECT_EQ(portal->shortcuts[0].second.value(QStringLiteral("preferred_trigger")), "CTRL+ALT+t");
    const QString id = QString::fromLatin1(PortalHotkeyService::shortcutId);
    portal->activate(portal->session + QStringLiteral("x"), id);
    portal->activate(portal->session, QStringLiteral("other"));
    portal->activate(portal->session, id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs == 1; })) << runs;
    portal->activate(portal->session, id); // 2 is never seen if an unwanted one counted
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs == 2; })) << runs;
}

using Notifications = PortalHotkey;

TEST_F(Notifications, TimerEndIsPostedOnceRestartsAndIsTakenBackOnStartOrStop) {
    const TestDirs dirs;
    Settings settings(dirs.settingsFile());
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker(speech, clock);
    TimerEngine engine(settings, speaker, clock);
    FreedesktopNotifier notifier(bus("pobi-client"));
    EndNotifier notice(engine, settings, notifier, clock);
    const auto runToEnd = [&](qint64 seconds, const QString& label = QStringLiteral("Tea")) {
        engine.start({Command::Kind::Timer, seconds, label});
        clock.advance(seconds * 1000);
    };
    runToEnd(60); // no server: nothing breaks
    FakeNotifications fake(bus("pobi-notifications"));
    ASSERT_TRUE(fake.bus.registerVirtualObject("/org/freedesktop/Notifications", &fake) &&
                fake.bus.registerService("org.freedesktop.Notifications"));
    const QLocale saved;
    QLocale::setDefault(QLocale::c()); // whose short time has seconds, not wanted here
    runToEnd(1500);
    QLocale::setDefault(saved);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.calls == QStringList{"Notify 0 Tea"}; }));
    const QString app = QStringLiteral(POBI_APP_ID);
    EXPECT_EQ(fake.args.mid(0, 6),
              (QVariantList{"Pobi", 0u, app, "Tea", "25 minutes, ended at 14:46",
                            QStringList{"restart", "Restart", "dismiss", "Dismiss"}}));
    EXPECT_EQ(qdbus_cast<QVariantMap>(fake.args[6]),
              (QVariantMap{{"desktop-entry", app}, {"urgency", QVariant::fromValue(uchar(1))}}));

    // Restart runs the same timer again and takes the old notification back; the next end
    // replaces it, a stop takes that back, and one withdrawn before the server answered too.
    fake.bus.send(QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                             "org.freedesktop.Notifications", "ActionInvoked")
                  << 1u << QStringLiteral("restart"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.state() == TimerEngine::State::Running; }));
    EXPECT_EQ(engine.total(), 1500);
    clock.advance(1500 * 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.calls.size() == 3; }));
    engine.stop();
    settings.setNotify(false);
    runToEnd(60);
    settings.setNotify(true);
    QObject::connect(&engine, &TimerEngine::eventSent, [&](TimerEngine::Event e) {
        if (e == TimerEngine::Event::Done)
            engine.stop(); // before the server could answer
    });
    runToEnd(60, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.calls.size() == 6; }));
    EXPECT_EQ(fake.calls, QStringList({"Notify 0 Tea", "Close 1", "Notify 1 Tea", "Close 1",
                                       "Notify 1 Time's up", "Close 1"}));
}

} // namespace
