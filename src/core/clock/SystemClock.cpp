#include "core/clock/SystemClock.h"

#include "core/clock/ClockTimer.h"

#include <QTimer>
#include <chrono>
#include <ctime>

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

qint64 SystemClock::monotonicMs() const {
#ifdef CLOCK_BOOTTIME
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return static_cast<qint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
    // Steady too, but it may stand still while the machine sleeps.
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ClockTimer* SystemClock::createTimer(QObject* parent) {
    return new QtClockTimer(parent);
}
