#include "SystemClock.h"

#include "ClockTimer.h"

#include <QTimer>

namespace {

class QtClockTimer final : public ClockTimer {
public:
    explicit QtClockTimer(QObject* parent) : ClockTimer(parent), m_timer(this) {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ClockTimer::timeout);
    }
    void setSingleShot(bool singleShot) override { m_timer.setSingleShot(singleShot); }
    void start(int intervalMs) override { m_timer.start(intervalMs); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
};

} // namespace

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

ClockTimer* SystemClock::createTimer(QObject* parent) {
    return new QtClockTimer(parent);
}
