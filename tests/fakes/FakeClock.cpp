#include "FakeClock.h"

#include <QCoreApplication>
#include <algorithm>

ClockTimer* FakeClock::createTimer(QObject* parent) {
    return new FakeClockTimer(this, parent);
}

void FakeClock::queue(FakeClockTimer* timer) {
    m_timers.removeAll(timer);
    m_timers.append(timer);
}

void FakeClockTimer::start(int intervalMs) {
    m_interval = std::max(0, intervalMs);
    m_active = true;
    m_due = m_clock->m_mono + m_interval;
    m_clock->queue(this);
}

void FakeClock::flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int FakeClock::activeTimers() const {
    int n = 0;
    for (const auto& t : m_timers)
        if (t && t->m_active)
            ++n;
    return n;
}

void FakeClock::advance(qint64 ms) {
    const qint64 end = m_mono + ms;
    flush();
    for (;;) {
        m_timers.removeAll(nullptr);
        FakeClockTimer* next = nullptr;
        for (const auto& t : m_timers) {
            if (!t || !t->m_active || t->m_due > end)
                continue;
            if (!next || t->m_due < next->m_due)
                next = t;
        }
        if (!next)
            break;
        if (next->m_due > m_mono) {
            m_now = m_now.addMSecs(next->m_due - m_mono);
            m_mono = next->m_due;
        }
        if (next->m_singleShot) {
            next->m_active = false;
        } else {
            // A zero interval would never let time move on; treat it as 1 ms.
            next->m_due = m_mono + std::max(1, next->m_interval);
            queue(next);
        }
        emit next->timeout();
        flush();
    }
    m_now = m_now.addMSecs(end - m_mono);
    m_mono = end;
    flush();
}
