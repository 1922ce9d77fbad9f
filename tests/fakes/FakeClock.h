#pragma once

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"

#include <QList>
#include <QPointer>

class FakeClockTimer;

// A clock that stands still until a test advances it. Timers run on the steady clock and fire in
// time order while it moves, and posted (queued) events are delivered after each firing, as the
// real event loop would.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(14, 20, 0)))
        : m_now(std::move(start)) {}

    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_mono; }
    ClockTimer* createTimer(QObject* parent) override;

    // Moves both clocks forward by ms, firing every timer that comes due on the way.
    void advance(qint64 ms);
    // Delivers posted events without moving time ("one turn of the event loop").
    static void flush();
    // Sets the wall clock ms forward or back (a clock change); the steady clock stays.
    void jump(qint64 ms) { m_now = m_now.addMSecs(ms); }
    // Moves both clocks forward without firing anything (a main thread held up).
    void stall(qint64 ms) {
        m_now = m_now.addMSecs(ms);
        m_mono += ms;
    }
    int activeTimers() const;

private:
    friend class FakeClockTimer;
    // Puts a timer just (re)armed last in line: of two timers due at once, the one armed first
    // fires first.
    void queue(FakeClockTimer* timer);

    QDateTime m_now;
    qint64 m_mono = 1000000;
    QList<QPointer<FakeClockTimer>> m_timers; // started timers, in the order they were armed
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
    qint64 m_due = 0;
};
