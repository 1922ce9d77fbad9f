#include "core/metronome/Metronome.h"

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/metronome/TempoWords.h"

#include <QDebug>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const QString bpmKey = QStringLiteral("tempo.bpm");
const QString beatsKey = QStringLiteral("tempo.beats");
const QString accentKey = QStringLiteral("tempo.accent");

// The INI backend gives back strings, so a value counts as an integer when it is one or when it
// is text that reads as one; anything else is treated as missing.
int storedInt(const QSettings& store, const QString& key, int fallback) {
    const QVariant v = store.value(key);
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: {
        bool ok = false;
        const int value = v.toInt(&ok);
        return ok ? value : fallback;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        bool ok = false;
        const int value = v.toString().trimmed().toInt(&ok);
        return ok ? value : fallback;
    }
    default:
        return fallback;
    }
}

bool storedBool(const QSettings& store, const QString& key, bool fallback) {
    const QVariant v = store.value(key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        const QString text = v.toString().trimmed();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return fallback;
}

AudioPlayer::Buffer synthesiseClick(double startHz, double ratio, float gain) {
    constexpr double rate = AudioPlayer::sampleRate;
    auto samples = std::make_shared<std::vector<float>>(Metronome::clickFrames);
    double phase = 0.0;
    for (int i = 0; i < Metronome::clickFrames; ++i) {
        const double t = i / rate;
        // An exponential glide over the first 30 ms, then steady.
        const double f = startHz * std::pow(ratio, std::min(t / 0.03, 1.0));
        phase += f * 2.0 * std::numbers::pi / rate;
        const double wave = std::asin(std::sin(phase)) * 2.0 / std::numbers::pi;
        // A 2 ms linear attack from silence, then an exponential fall.
        const double envelope = t < 0.002 ? t / 0.002 : std::exp(-95.0 * (t - 0.002));
        (*samples)[static_cast<std::size_t>(i)] = static_cast<float>(wave * envelope) * gain;
    }
    return samples;
}

} // namespace

Metronome::Metronome(QSettings& store, AudioPlayer& player, Clock& clock, QObject* parent)
    : QObject(parent), m_store(store), m_player(player), m_clock(clock),
      m_bpm(storedInt(store, bpmKey, 100)), m_beats(storedInt(store, beatsKey, 4)),
      m_accent(storedBool(store, accentKey, true)), m_startedAt(clock.monotonicMs()) {
    connect(&m_player, &AudioPlayer::failed, this, &Metronome::fail);
}

Metronome::~Metronome() {
    if (m_running) {
        delete m_timer.data();
        m_player.stop();
    }
}

AudioPlayer::Buffer Metronome::hiClick() {
    static const AudioPlayer::Buffer click = synthesiseClick(1880.0, 0.6382978723404256, 0.55f);
    return click;
}

AudioPlayer::Buffer Metronome::loClick() {
    static const AudioPlayer::Buffer click = synthesiseClick(1320.0, 0.6818181818181818, 0.35f);
    return click;
}

void Metronome::setRunning(bool running) {
    m_running = running;
    emit changed();
    emit runningChanged(running);
}

void Metronome::setBeat(int beat) {
    m_beat = beat;
    emit changed();
    emit beatChanged(beat);
}

void Metronome::persist(const QString& key, const QVariant& value) {
    m_store.setValue(key, value);
    m_store.sync();
    emit changed();
}

void Metronome::setBpm(int bpm) {
    m_bpm = bpm;
    persist(bpmKey, bpm);
    emit bpmChanged(bpm);
}

void Metronome::setBeats(int beats) {
    m_beats = beats;
    persist(beatsKey, beats);
    emit beatsChanged(beats);
}

void Metronome::changeBpm(int bpm) {
    bpm = TempoWords::clampBpm(bpm);
    if (bpm != m_bpm)
        setBpm(bpm);
}

void Metronome::changeBeats(int beats) {
    setBeats(beats);
    if (m_n >= beats)
        resetCounter();
}

void Metronome::setAccent(bool accent) {
    m_accent = accent;
    persist(accentKey, accent);
    emit accentChanged(accent);
}

void Metronome::start() {
    if (m_running)
        return;
    if (!m_player.start()) {
        m_error = m_player.errorString();
        qWarning().noquote() << QStringLiteral("Pobi: audio failed: ") + m_error;
        emit changed();
        return;
    }
    m_error.clear();
    m_n = 0;
    m_startedAt = m_clock.monotonicMs();
    ++m_run;
    setRunning(true);

    m_timer = m_clock.createTimer(this);
    connect(m_timer, &ClockTimer::timeout, this, &Metronome::schedule);
    m_timer->start(schedulerIntervalMs);
    // The first click is placed only now: whoever watches running may have held the main
    // thread for a while (a first layout loads fonts), and clicks placed before that would
    // already be past.
    m_nextSample = static_cast<double>(m_player.sampleTime() + leadFrames);
    schedule();
}

double Metronome::secondsRunning() const {
    return static_cast<double>(m_clock.monotonicMs() - m_startedAt) / 1000.0;
}

void Metronome::stop() {
    if (!m_running)
        return;
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
        m_timer = nullptr;
    }
    m_player.stop();
    m_running = false;
    m_beat = -1;
    emit changed();
    emit runningChanged(false);
    emit beatChanged(-1);
}

void Metronome::fail(const QString& reason) {
    if (!m_running)
        return;
    m_error = reason;
    stop();
    qWarning().noquote() << QStringLiteral("Pobi: audio failed: ") + reason;
}

void Metronome::tickWhenHeard(qint64 frame, int n, bool accented, qint64 heard) {
    // Timed from the frame being heard, never from the rendered-frame count: the output pulls
    // frames in blocks (and a large first one), so that count runs ahead of what is heard by a
    // varying amount. A fresh output reports what it plays only once it plays, later than first
    // assumed, so the wait is checked again when it ends.
    const double waitMs = static_cast<double>(frame - heard) * 1000.0 / 44100.0;
    if (waitMs < 1.0) {
        setBeat(n);
        emit ticked(n, accented);
        return;
    }
    const quint64 run = m_run;
    m_clock.singleShot(static_cast<int>(std::round(waitMs)), this, [this, frame, n, accented, run] {
        if (m_running && run == m_run)
            tickWhenHeard(frame, n, accented, m_player.isRunning() ? m_player.playedTime() : 0);
    });
}

void Metronome::schedule() {
    if (!m_running)
        return;
    const qint64 now = m_player.isRunning() ? m_player.sampleTime() : 0;
    const qint64 heard = m_player.isRunning() ? m_player.playedTime() : 0;
    const double horizon = static_cast<double>(now + lookAheadFrames);
    // Guards the loop below: a tempo of 0 or below (only possible from a hand-edited settings
    // file) would never advance, and an absurdly high one would schedule without end.
    const double step = 44100.0 * 60.0 / std::clamp(m_bpm, 1, 1000);
    while (m_nextSample < horizon) {
        const bool accented = m_n == 0 && m_accent;
        const auto at = static_cast<qint64>(m_nextSample);
        m_player.schedule(accented ? hiClick() : loClick(), at);

        tickWhenHeard(at, m_n, accented, heard);
        m_nextSample += step;
        m_n = (m_n + 1) % std::max(m_beats, 1);
    }
}
