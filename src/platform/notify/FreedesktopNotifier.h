#pragma once

#include "core/desktop/Notifier.h"

#include <QDBusConnection>

// Notifications through org.freedesktop.Notifications. Each post replaces the one before it
// (replaces_id) rather than stacking; a withdraw made while the server has not yet answered a
// post closes that notification once its id arrives. Calls are asynchronous, so a slow or
// missing server never blocks the timer; a missing one is logged once.
class FreedesktopNotifier final : public Notifier {
    Q_OBJECT
public:
    explicit FreedesktopNotifier(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 QObject* parent = nullptr);

    void post(const QString& title, const QString& body, const QList<Action>& actions) override;
    void withdraw() override;

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    void close(uint id);
    void fail(const QString& reason);

    QDBusConnection m_bus;
    // The last notification's id, kept after it closes: should the server have missed a close,
    // the next one still takes its place.
    uint m_id = 0;
    bool m_open = false;      // m_id is shown, as far as this side knows
    int m_pending = 0;        // posts not yet answered
    bool m_withdrawn = false; // withdrawn while posts were pending: close what they return
    bool m_failed = false;    // a failure was logged: it is logged only once
};
