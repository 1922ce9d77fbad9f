#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The desktop's notification service: one notification at a time, a new one taking the place of
// the last. Without a service, posting does nothing but log why, once.
class Notifier : public QObject {
    Q_OBJECT
public:
    struct Action {
        QString key;   // what actionInvoked reports
        QString label; // what the button says
    };
    using QObject::QObject;

    virtual void post(const QString& title, const QString& body, const QList<Action>& actions) = 0;
    // Closes the notification last posted, if it is still shown.
    virtual void withdraw() = 0;

signals:
    // The user chose one of the last notification's actions.
    void actionInvoked(const QString& key);
};
