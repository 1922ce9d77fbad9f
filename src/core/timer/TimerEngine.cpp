#include "core/timer/TimerEngine.h"

#include "core/audio/Chime.h"
#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/StoredNames.h"
#include "core/text/Tone.h"
#include "core/text/Words.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <cmath>
#include <optional>

namespace {
constexpr int heartbeatMs = 100;
constexpr int endLineAfterChimeMs = 600;
// The end chime is handed to the output this long before the end: time to wake a stopped output
// and to place the bell past what the sound server already holds.
constexpr int chimeAheadMs = 1000;
// A clock-time timer whose wall-clock end and steady-clock end differ by more than this has seen
// the clock set.
constexpr qint64 clockChangeMs = 1000;
constexpr int idleAfterDoneMs = 12000;
// The settings key of the run in progress: one JSON value, so it is written whole or not at all.
const QString runKey = QStringLiteral("run");

// The kinds' names in the stored run, which every earlier version reads and writes.
constexpr StoredNames<Command::Kind, 2> kindNames{{
    {Command::Kind::Timer, "timer"},
    {Command::Kind::Stopwatch, "stopwatch"},
}};
} // namespace

TimerEngine::TimerEngine(Settings& settings, Speaker& speaker, Clock& clock, Chime* chime,
                         QObject* parent)
    : QObject(parent), m_settings(settings), m_speaker(speaker), m_clock(clock), m_chime(chime),
      m_tick(clock.now()), m_t0(clock.monotonicMs()) {
    // Queued: the change is delivered one turn later, when every value of it is stored.
    connect(&m_settings, &Settings::changed, this, &TimerEngine::replan, Qt::QueuedConnection);
}

TimerEngine::~TimerEngine() = default;

double TimerEngine::elapsed() const {
    if (m_state == State::Running)
        return m_acc + static_cast<double>(m_clock.monotonicMs() - m_t0) / 1000.0;
    return m_acc;
}

qint64 TimerEngine::endsAtMs() const {
    return m_t0 + qRound64((static_cast<double>(m_total) - m_acc) * 1000.0);
}

double TimerEngine::remaining() const {
    if (m_kind != Command::Kind::Timer)
        return 0;
    return std::max(0.0, static_cast<double>(m_total) - elapsed());
}

QString TimerEngine::display() const {
    if (m_state == State::Idle)
        return QStringLiteral("00:00");
    if (m_kind == Command::Kind::Stopwatch)
        return Words::clock(elapsed(), false);
    return Words::clock(remaining(), true);
}

void TimerEngine::setState(State state) {
    if (state != State::Running)
        stopHeartbeat(); // the heartbeat lives only while running
    if (m_state == state)
        return;
    m_state = state;
    emit changed();
    emit stateChanged(m_state);
}

void TimerEngine::setTick() {
    m_tick = m_clock.now();
    emit changed();
}

void TimerEngine::say(const QString& text) {
    m_speaker.say(text, m_settings);
}

void TimerEngine::stopHeartbeat() {
    // Often called from the heartbeat's own timeout: stop it now, delete it later.
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
        m_timer = nullptr;
    }
}

void TimerEngine::setChime(bool wanted) {
    if (!m_chime || wanted == m_chimeSet)
        return;
    m_chimeSet = wanted;
    m_chimeAt = std::max(endsAtMs(), m_clock.monotonicMs());
    if (wanted)
        m_chime->playAt(m_chimeAt);
    else
        m_chime->cancel();
}

void TimerEngine::start(const Command& command, const QDateTime& until) {
    stopHeartbeat();
    setChime(false);
    ++m_run;
    m_kind = command.kind;
    m_label = command.label;
    m_total = command.total;
    m_acc = 0;
    m_t0 = m_clock.monotonicMs();
    m_until = until;
    m_laps.clear();
    m_lastEvery = 0;
    m_alerted = false;
    emit changed();
    setState(State::Running);
    emit eventSent(Event::Start);
    const Tone tone = m_settings.tone();
    if (m_kind == Command::Kind::Stopwatch) {
        if (m_settings.onStart())
            say(Tones::swStart(tone));
    } else {
        m_plan = Plan::make(m_total, m_label, m_settings);
        m_lastSec = m_total;
        if (m_settings.onStart())
            say(Tones::start(tone, Words::spell(m_total), m_label));
    }
    persist();
    loop();
}

void TimerEngine::loop() {
    stopHeartbeat();
    m_timer = m_clock.createTimer(this);
    m_timer->setSingleShot(false);
    connect(m_timer, &ClockTimer::timeout, this, &TimerEngine::step);
    m_timer->start(heartbeatMs);
    step();
}

void TimerEngine::step() {
    if (m_state != State::Running)
        return;
    if (m_kind == Command::Kind::Stopwatch) {
        const int every = m_settings.every();
        if (every >= 1) {
            const qint64 n = static_cast<qint64>(elapsed()) / (every * 60);
            if (n > m_lastEvery) {
                m_lastEvery = n;
                say(Tones::elapsed(m_settings.tone(), Words::spell(n * every * 60)));
            }
        }
    } else {
        keepToWallClock();
        setChime(remaining() * 1000.0 <= chimeAheadMs && m_settings.chime() && !m_settings.muted());
        // A remaining time of exactly k seconds (or a hair above) counts as second k.
        const auto s = static_cast<qint64>(std::ceil(remaining() - 0.000001));
        // Of all plan lines crossed since the last step, only the lowest (most recent) is said:
        // a late heartbeat never reels off a backlog.
        std::optional<QString> text;
        if (s <= m_lastSec - 1) {
            const auto it = m_plan.lower_bound(s);
            if (it != m_plan.end() && it->first <= m_lastSec - 1)
                text = it->second.text;
        }
        m_lastSec = std::min(m_lastSec, s);
        if (s <= 0) {
            finish(); // the end line is the finish's own
            return;
        }
        if (text)
            say(*text);
        if (!m_alerted && s <= 60 && m_total >= 91) {
            m_alerted = true;
            emit eventSent(Event::Alert);
        }
    }
    setTick();
}

void TimerEngine::keepToWallClock() {
    if (!m_until.isValid())
        return;
    const qint64 drift = m_clock.now().msecsTo(m_until) - qRound64(remaining() * 1000.0);
    if (std::abs(drift) <= clockChangeMs)
        return;
    // The clock was set: the end moves with it, and the lines between the old and the new time
    // left lie ahead again.
    setChime(false);
    m_total = std::max<qint64>(0, m_total + qRound64(static_cast<double>(drift) / 1000.0));
    m_plan = Plan::make(m_total, m_label, m_settings);
    m_lastSec = static_cast<qint64>(std::ceil(remaining()));
}

void TimerEngine::finish() {
    stopHeartbeat();
    m_acc = static_cast<double>(m_total);
    setState(State::Done);
    persist();
    setTick();
    emit eventSent(Event::Done);
    const bool chime = m_settings.chime();
    const qint64 now = m_clock.monotonicMs();
    // The chime was set when the last second began, for the end itself; a late heartbeat makes
    // no difference to it, nor to the end line, which follows the chime.
    const qint64 chimedAt = m_chimeSet ? m_chimeAt : now;
    if (chime && !m_settings.muted() && m_chime && !m_chimeSet)
        m_chime->play();
    m_chimeSet = false;
    const auto end = m_plan.find(0);
    if (end != m_plan.end()) {
        const QString text = end->second.text;
        const qint64 at = chime ? chimedAt + endLineAfterChimeMs - m_speaker.leadMs() : now;
        m_clock.singleShot(static_cast<int>(std::max<qint64>(0, at - now)), this,
                           [this, text] { say(text); });
    }
    // Back to idle after a while, unless something else happened to the engine meanwhile (a new
    // run that finished sooner would otherwise be cut short by this run's delay).
    const int run = m_run;
    m_clock.singleShot(idleAfterDoneMs, this, [this, run] {
        if (m_state == State::Done && m_run == run)
            setState(State::Idle);
    });
}

void TimerEngine::pause() {
    if (m_state != State::Running)
        return;
    m_acc = elapsed();
    setChime(false);
    // Paused, it no longer ends at that time of day.
    m_until = QDateTime();
    setState(State::Paused);
    persist();
    if (m_settings.onStart())
        say(Tones::pause(m_settings.tone()));
    setTick();
    emit eventSent(Event::Pause);
}

void TimerEngine::resume() {
    if (m_state != State::Paused)
        return;
    m_t0 = m_clock.monotonicMs();
    setState(State::Running);
    persist();
    if (m_settings.onStart())
        say(Tones::resume(m_settings.tone()));
    emit eventSent(Event::Resume);
    loop();
}

void TimerEngine::stop() {
    stopHeartbeat();
    setChime(false);
    if (active() && m_settings.onStart())
        say(Tones::cancel(m_settings.tone()));
    const State before = m_state;
    setState(State::Idle);
    m_acc = 0;
    persist();
    setTick();
    if (before != State::Idle)
        emit eventSent(Event::Stop);
}

void TimerEngine::lap() {
    if (m_kind != Command::Kind::Stopwatch || m_state != State::Running)
        return;
    const double e = elapsed();
    const double p = m_laps.isEmpty() ? 0.0 : m_laps.last().total;
    const int n = static_cast<int>(m_laps.size()) + 1;
    m_laps.append({n, e - p, e});
    persist();
    emit changed();
    emit eventSent(Event::Lap);
    if (m_settings.laps())
        say(Tones::lap(m_settings.tone(), n, Words::spellLap(e - p)));
}

void TimerEngine::sayNow() {
    const Tone tone = m_settings.tone();
    if (m_kind == Command::Kind::Timer && active())
        say(Tones::left(tone, Words::spell(static_cast<qint64>(std::ceil(remaining())))));
    else if (m_kind == Command::Kind::Stopwatch && active())
        say(Tones::elapsed(tone, Words::spell(static_cast<qint64>(elapsed()))));
    else
        say(Tones::hello(tone));
}

std::optional<TimerEngine::Next> TimerEngine::next() const {
    if (m_kind == Command::Kind::Stopwatch || !active())
        return std::nullopt;
    const auto r = static_cast<qint64>(std::ceil(remaining()));
    auto it = m_plan.lower_bound(r); // first key >= r; the one before it is the largest below r
    if (it == m_plan.begin())
        return std::nullopt;
    --it;
    return Next{it->first, it->second};
}

void TimerEngine::replan() {
    if (!active())
        return;
    if (m_kind == Command::Kind::Stopwatch) {
        const int every = m_settings.every();
        // Intervals already passed count as announced: a shorter interval never speaks at once.
        m_lastEvery = every >= 1 ? static_cast<qint64>(elapsed()) / (every * 60) : 0;
    } else {
        // lastSec stays: lines already passed stay unspoken, lines ahead follow the new settings.
        m_plan = Plan::make(m_total, m_label, m_settings);
    }
    setTick();
}

void TimerEngine::persist() {
    if (!m_persist)
        return;
    if (!active()) {
        if (!m_settings.store().value(runKey).toString().isEmpty())
            m_settings.save(runKey, QString());
        return;
    }
    const QDateTime now = m_clock.now();
    QJsonArray laps;
    for (const Lap& lap : m_laps)
        laps.append(QJsonArray{lap.split, lap.total});
    QJsonObject run{
        {QStringLiteral("kind"), storedName(kindNames, m_kind)},
        {QStringLiteral("label"), m_label},
        {QStringLiteral("total"), m_total},
        {QStringLiteral("start"), now.toMSecsSinceEpoch() - (m_clock.monotonicMs() - m_t0)},
        {QStringLiteral("elapsed"), m_acc},
        {QStringLiteral("paused"), m_state == State::Paused},
        {QStringLiteral("laps"), laps},
    };
    if (m_until.isValid())
        run.insert(QStringLiteral("until"), m_until.toMSecsSinceEpoch());
    m_settings.save(runKey, QString::fromUtf8(QJsonDocument(run).toJson(QJsonDocument::Compact)));
}

void TimerEngine::restore() {
    m_persist = true;
    const QJsonObject run =
        QJsonDocument::fromJson(m_settings.store().value(runKey).toString().toUtf8()).object();
    const auto kind = fromStoredName(kindNames, run.value(QStringLiteral("kind")).toString());
    const qint64 total = run.value(QStringLiteral("total")).toInteger();
    if (!kind || (kind == Command::Kind::Timer && total <= 0)) {
        persist(); // nothing usable: forget it
        return;
    }
    const QDateTime now = m_clock.now();
    const bool paused = run.value(QStringLiteral("paused")).toBool();
    ++m_run;
    m_kind = *kind;
    m_label = run.value(QStringLiteral("label")).toString();
    m_total = total;
    const double before = std::max(0.0, run.value(QStringLiteral("elapsed")).toDouble());
    m_acc = before;
    const qint64 startMs = run.value(QStringLiteral("start")).toInteger();
    // A wall clock set back while Pobi was away must not run the time backwards.
    if (!paused)
        m_acc +=
            static_cast<double>(std::max<qint64>(0, now.toMSecsSinceEpoch() - startMs)) / 1000.0;
    m_t0 = m_clock.monotonicMs();
    m_until = run.contains(QStringLiteral("until"))
                  ? QDateTime::fromMSecsSinceEpoch(run.value(QStringLiteral("until")).toInteger())
                  : QDateTime();
    m_laps.clear();
    for (const QJsonValue& lap : run.value(QStringLiteral("laps")).toArray())
        m_laps.append({static_cast<int>(m_laps.size()) + 1, lap[0].toDouble(), lap[1].toDouble()});
    m_alerted = false;
    m_lastEvery = m_kind == Command::Kind::Stopwatch && m_settings.every() >= 1
                      ? static_cast<qint64>(m_acc) / (m_settings.every() * 60)
                      : 0;
    const QDateTime end = m_until.isValid()
                              ? m_until
                              : QDateTime::fromMSecsSinceEpoch(startMs).addMSecs(
                                    qRound64((static_cast<double>(m_total) - before) * 1000.0));
    const bool ended = m_kind == Command::Kind::Timer && !paused &&
                       (m_until.isValid() ? now >= m_until : m_acc >= static_cast<double>(m_total));
    if (ended) {
        m_acc = static_cast<double>(m_total);
        setState(State::Done);
        persist();
        setTick();
        // To the nearest minute, as the Timer page shows the end.
        const QTime at = end.addSecs(30).time();
        const QString time = Words::shortTime(QTime(at.hour(), at.minute()), QLocale());
        say((m_label.isEmpty() ? QStringLiteral("Timer") : m_label) + QStringLiteral(" ended at ") +
            time + u'.');
        const int thisRun = m_run;
        m_clock.singleShot(idleAfterDoneMs, this, [this, thisRun] {
            if (m_state == State::Done && m_run == thisRun)
                setState(State::Idle);
        });
        return;
    }
    if (m_kind == Command::Kind::Timer) {
        m_plan = Plan::make(m_total, m_label, m_settings);
        // Lines already passed stay unsaid.
        m_lastSec = static_cast<qint64>(std::ceil(remaining()));
    }
    emit changed();
    setState(paused ? State::Paused : State::Running);
    setTick();
    if (!paused)
        loop();
}
