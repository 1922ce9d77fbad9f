#pragma once

#include "core/timer/TimerEngine.h"

#include <QObject>

class Clock;
class Notifier;
class Settings;

// Posts a notification when a timer ends (if the settings want one), and takes it back as soon
// as the user starts or stops anything, so a stale "time's up" never lingers over a new run. Its
// "Restart" runs the same timer again.
class EndNotifier : public QObject {
    Q_OBJECT
public:
    EndNotifier(TimerEngine& engine, Settings& settings, Notifier& notifier, Clock& clock,
                QObject* parent = nullptr);

private:
    void onEvent(TimerEngine::Event event);
    void onAction(const QString& key);

    TimerEngine& m_engine;
    Settings& m_settings;
    Notifier& m_notifier;
    Clock& m_clock;
};
