#pragma once

#include <QObject>

// A main-thread timer handed out by a Clock. The application gets a precise QTimer; tests get
// one that fires only when their fake clock is advanced.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ClockTimer() override = default;

    virtual void setSingleShot(bool singleShot) = 0;
    // (Re)starts the timer; the first timeout comes intervalMs from now.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;

signals:
    void timeout();
};
