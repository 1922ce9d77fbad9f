#include "core/desktop/EndNotifier.h"

#include "core/clock/Clock.h"
#include "core/desktop/Notifier.h"
#include "core/settings/Settings.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"

#include <QLocale>

namespace {
const QString restartAction = QStringLiteral("restart");
const QString dismissAction = QStringLiteral("dismiss");
} // namespace

EndNotifier::EndNotifier(TimerEngine& engine, Settings& settings, Notifier& notifier, Clock& clock,
                         QObject* parent)
    : QObject(parent), m_engine(engine), m_settings(settings), m_notifier(notifier),
      m_clock(clock) {
    connect(&m_engine, &TimerEngine::eventSent, this, &EndNotifier::onEvent);
    connect(&m_notifier, &Notifier::actionInvoked, this, &EndNotifier::onAction);
}

void EndNotifier::onEvent(TimerEngine::Event event) {
    using Event = TimerEngine::Event;
    if (event == Event::Start || event == Event::Stop) {
        m_notifier.withdraw();
    } else if (event == Event::Done && m_settings.notify()) {
        const QString label = m_engine.label();
        const QString title = label.isEmpty() ? QStringLiteral("Time's up") : label;
        const QString at = Words::shortTime(m_clock.now().time(), QLocale());
        const QString body =
            QStringLiteral("%1, ended at %2").arg(Words::spell(m_engine.total()), at);
        m_notifier.post(title, body,
                        {{restartAction, QStringLiteral("Restart")},
                         {dismissAction, QStringLiteral("Dismiss")}});
    }
}

void EndNotifier::onAction(const QString& key) {
    // Only a finished timer is restarted: anything newer has already taken the notification back.
    if (key == restartAction && !m_engine.active() && m_engine.total() > 0)
        m_engine.start(Command{Command::Kind::Timer, m_engine.total(), m_engine.label()});
    else if (key == dismissAction)
        m_notifier.withdraw();
}
