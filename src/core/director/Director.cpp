#include "core/director/Director.h"

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/metronome/TempoWords.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Tone.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"

#include <cmath>

namespace {
constexpr int sleepCheckMs = 900;
constexpr int sayBpmDelayMs = 650;
} // namespace

Director::Director(MascotBrain& mascot, TimerEngine& engine, Metronome& metronome, Speaker& speaker,
                   Settings& settings, Clock& clock, QObject* parent)
    : QObject(parent), m_mascot(&mascot), m_engine(&engine), m_metronome(&metronome),
      m_speaker(&speaker), m_settings(&settings), m_clock(clock), m_lastBpm(metronome.bpm()),
      m_lastMuted(settings.muted()), m_lastRunning(metronome.running()) {
    // The engine's events reach the mascot one turn later, after the engine has finished the
    // step that sent them (a "pause" handler must see the engine already paused).
    connect(&engine, &TimerEngine::eventSent, this, &Director::engineEvent, Qt::QueuedConnection);

    // Talking and caption: the current values count too.
    connect(&speaker, &Speaker::talkingChanged, this, [this](bool talking) {
        if (m_mascot)
            m_mascot->setTalking(talking);
    });
    mascot.setTalking(speaker.talking());
    connect(&speaker, &Speaker::captionChanged, this, &Director::caption);
    caption(speaker.caption());

    // Muted: only real changes flash; the start-up value is taken over silently.
    connect(&settings, &Settings::mutedChanged, this, &Director::muted);
    if (mascot.muted() != settings.muted())
        mascot.assignMuted(settings.muted());

    connect(&metronome, &Metronome::ticked, this, &Director::ticked);
    connect(&metronome, &Metronome::runningChanged, this, &Director::running);
    connect(&metronome, &Metronome::bpmChanged, this, &Director::bpm);
    connect(&settings, &Settings::everyChanged, this, &Director::every);
}

Director::~Director() = default;

void Director::engineEvent(TimerEngine::Event event) {
    using Event = TimerEngine::Event;
    MascotBrain* mascot = m_mascot;
    if (!mascot)
        return;
    // The flashes name the drawings shown.
    switch (event) {
    case Event::Start:
        mascot->setMood(MascotBrain::Mood::Content);
        mascot->flash(QStringLiteral("play"), 950);
        mascot->hop(0.7);
        break;
    case Event::Pause:
        mascot->flash(QStringLiteral("pause"), 850);
        // Left paused a moment: the mascot dozes off. A quick resume keeps it awake.
        m_clock.singleShot(sleepCheckMs, this, [this] {
            if (m_engine && m_mascot && m_engine->state() == TimerEngine::State::Paused)
                m_mascot->setMood(MascotBrain::Mood::Sleep);
        });
        break;
    case Event::Resume:
        mascot->setMood(MascotBrain::Mood::Content);
        mascot->flash(QStringLiteral("play"), 800);
        mascot->hop(0.6);
        break;
    case Event::Stop:
        mascot->setMood(MascotBrain::Mood::Content);
        mascot->flash(QStringLiteral("stop"), 950);
        break;
    case Event::Done:
        mascot->celebrate();
        break;
    case Event::Alert:
        mascot->setMood(MascotBrain::Mood::Alert);
        break;
    case Event::Lap:
        break;
    }
}

int Director::countdownDigit(const QString& caption) {
    QStringView digits(caption);
    if (digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
        digits = digits.mid(1);
    if (digits.isEmpty())
        return 0;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits = digits.mid(1);
    if (caption.startsWith(QLatin1Char('-')) || digits.size() != 1)
        return 0;
    const int value = digits.front().unicode() - '0';
    return value >= 1 && value <= 3 ? value : 0;
}

void Director::caption(const QString& text) {
    if (const int n = countdownDigit(text); n != 0 && m_mascot)
        m_mascot->digit(n);
}

void Director::muted(bool muted) {
    if (muted == m_lastMuted)
        return;
    m_lastMuted = muted;
    if (m_mascot)
        m_mascot->setMuted(muted);
}

double Director::secondsSinceStart() const {
    return m_metronome->secondsRunning();
}

void Director::say(const QString& text) {
    if (m_speaker && m_settings)
        m_speaker->say(text, *m_settings);
}

void Director::ticked(int, bool accent) {
    if (m_mascot)
        m_mascot->beat(accent);
    if (!m_metronome || !m_settings)
        return;
    const int every = m_settings->every();
    if (every < 1)
        return;
    const double t = m_metronome->running() ? secondsSinceStart() : 0;
    const int k = static_cast<int>(std::floor(t / 60)) / every;
    if (k > m_practiceMark) {
        m_practiceMark = k;
        say(Tones::practice(m_settings->tone(), Words::spell(qint64(k) * every * 60)));
    }
}

void Director::running(bool running) {
    if (running == m_lastRunning)
        return;
    m_lastRunning = running;
    if (!m_metronome || !m_mascot || !m_settings)
        return;
    if (running) {
        m_practiceMark = 0;
        m_mascot->setMood(MascotBrain::Mood::Content);
        m_mascot->flash(QStringLiteral("play"), 950);
        m_mascot->hop(0.6);
        if (m_settings->onStart())
            say(Tones::tempo(m_settings->tone(), m_metronome->bpm(),
                             TempoWords::sigWords(m_metronome->beats())));
    } else {
        m_mascot->flash(QStringLiteral("stop"), 950);
        const auto s = static_cast<qint64>(std::floor(secondsSinceStart()));
        // Runs shorter than a minute end without a spoken total.
        if (m_settings->onStart() && s >= 60)
            say(Tones::practice(m_settings->tone(), Words::spell(s)));
    }
}

void Director::bpm(int bpm) {
    if (m_metronome && m_metronome->running() && bpm != m_lastBpm) {
        m_lastBpm = bpm;
        // A burst of changes (a dragged slider, repeated keys) is spoken once, after it ends.
        delete m_sayBpm;
        m_sayBpm = m_clock.singleShot(
            sayBpmDelayMs, this, [this, bpm] { say(QString::number(bpm) + QLatin1Char('.')); });
    } else {
        m_lastBpm = bpm;
    }
}

void Director::every(int every) {
    if (!m_metronome || !m_metronome->running())
        return;
    // Intervals already passed count as announced, so a new interval never speaks at once.
    m_practiceMark = every < 1 ? 0 : static_cast<int>(std::floor(secondsSinceStart() / 60)) / every;
}
