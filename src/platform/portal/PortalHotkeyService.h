#pragma once

#include "core/hotkey/HotkeyService.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QPointer>
#include <QVariantMap>
#include <functional>

class PortalRequest;
class PortalShortcuts;

// The hotkey through the desktop portal's GlobalShortcuts interface (Wayland sessions): one
// session with one shortcut, whose trigger the compositor may let the user confirm or change.
// Every portal call answers through a Request object's Response signal.
class PortalHotkeyService final : public HotkeyService {
    Q_OBJECT
public:
    explicit PortalHotkeyService(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 QObject* parent = nullptr);
    ~PortalHotkeyService() override;

    void registerHotkey(QKeyCombination keys) override;
    void unregisterHotkey() override;

    static constexpr const char* shortcutId = "toggle-popover";
    static constexpr const char* sessionToken = "pobi";

private:
    using Reply = std::function<void(uint response, const QVariantMap& results)>;
    // Calls a portal method that returns a Request handle and hands its Response to done.
    void request(const QString& method, const QList<QVariant>& args, QVariantMap options,
                 Reply done);
    void createSession();
    void bindShortcuts();
    void closeSession();
    QString expectedRequestPath(const QString& token) const;
    QString newToken();

    QDBusConnection m_bus;
    QPointer<PortalShortcuts> m_portal;
    QString m_session;
    QString m_trigger;
    QString m_description;
    int m_tokens = 0;
    int m_generation = 0; // bumped by each (un)registration so stale answers are ignored
};
