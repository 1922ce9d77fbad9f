#pragma once

#include "Clock.h"
#include "ClockTimer.h"

#include <QList>
#include <QPointer>

class FakeClockTimer;

// A clock that stands still until a test advances it. Timers fire in time order while it moves,
// and posted (queued) events are delivered after each firing, as the real event loop would.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(14, 20, 0)));
    ~FakeClock() override;

    QDateTime now() const override { return m_now; }
    ClockTimer* createTimer(QObject* parent) override;

    // Moves time forward by ms, firing every timer that comes due on the way.
    void advance(qint64 ms);
    void advanceSeconds(double s) { advance(qRound64(s * 1000.0)); }
    // Delivers posted events without moving time ("one turn of the event loop").
    static void flush();
    // Sets the time without firing anything (for clock jumps).
    void set(const QDateTime& t) { m_now = t; }
    int activeTimers() const;

private:
    friend class FakeClockTimer;
    QDateTime m_now;
    QList<QPointer<FakeClockTimer>> m_timers;
};

class FakeClockTimer final : public ClockTimer {
    Q_OBJECT
public:
    FakeClockTimer(FakeClock* clock, QObject* parent) : ClockTimer(parent), m_clock(clock) {}
    void setSingleShot(bool singleShot) override { m_singleShot = singleShot; }
    void start(int intervalMs) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }

private:
    friend class FakeClock;
    FakeClock* m_clock;
    bool m_singleShot = false;
    bool m_active = false;
    int m_interval = 0;
    QDateTime m_due;
    quint64 m_order = 0;
};
