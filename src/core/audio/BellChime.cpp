#include "core/audio/BellChime.h"

#include "core/audio/SharedAudioPlayer.h"
#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

AudioPlayer::Buffer synthesiseBell() {
    // Inharmonic partials of a small struck glass, each with its own decay: the high ones die
    // first, leaving the fundamental and its slightly detuned twin to beat gently.
    struct Partial {
        double ratio;
        double amplitude;
        double decaySeconds;
    };
    constexpr Partial partials[] = {
        {1.0, 1.0, 0.42},    {1.0032, 0.25, 0.50}, {2.756, 0.42, 0.22},
        {5.404, 0.20, 0.11}, {8.933, 0.10, 0.06},
    };
    constexpr double fundamental = 1318.5; // E6
    constexpr double rate = AudioPlayer::sampleRate;
    constexpr double attack = 0.003;
    constexpr double fadeOut = 0.08;
    constexpr double length = BellChime::bellFrames / rate;

    std::vector<double> mix(BellChime::bellFrames);
    double peak = 0.0;
    for (int i = 0; i < BellChime::bellFrames; ++i) {
        const double t = i / rate;
        double v = 0.0;
        for (const Partial& p : partials)
            v += p.amplitude * std::exp(-t / p.decaySeconds) *
                 std::sin(2.0 * std::numbers::pi * fundamental * p.ratio * t);
        const double in = std::min(t / attack, 1.0);
        const double out = std::clamp((length - 1.0 / rate - t) / fadeOut, 0.0, 1.0);
        v *= in * out;
        mix[static_cast<std::size_t>(i)] = v;
        peak = std::max(peak, std::abs(v));
    }
    constexpr double level = 0.45;
    auto samples = std::make_shared<std::vector<float>>(BellChime::bellFrames);
    for (std::size_t i = 0; i < mix.size(); ++i)
        (*samples)[i] = static_cast<float>(mix[i] / peak * level);
    return samples;
}

} // namespace

BellChime::BellChime(AudioShare& share, Clock& clock, QObject* parent)
    : QObject(parent), m_player(new SharedAudioPlayer(share, this)), m_clock(clock) {}

BellChime::~BellChime() {
    delete m_release.data();
    delete m_place.data();
}

AudioPlayer::Buffer BellChime::bell() {
    static const AudioPlayer::Buffer buffer = synthesiseBell();
    return buffer;
}

bool BellChime::holding() const {
    return m_player->isRunning();
}

void BellChime::play() {
    playAt(m_clock.monotonicMs());
}

void BellChime::playAt(qint64 atMs) {
    if (!m_player->start()) {
        qWarning().noquote() << QStringLiteral("Pobi: audio failed: ") + m_player->errorString();
        return;
    }
    delete m_place.data();
    m_at = atMs;
    const qint64 wait = atMs - placeAheadMs - m_clock.monotonicMs();
    if (wait > 0)
        m_place = m_clock.singleShot(static_cast<int>(wait), this, [this] { place(); });
    else
        place();
}

void BellChime::place() {
    m_place = nullptr;
    if (!m_player->isRunning())
        return;
    // The frame heard at the moment asked for, but never one already handed to the device, nor
    // one a server still setting up the stream might drop.
    const qint64 heard =
        m_player->playedTime() + (m_at - m_clock.monotonicMs()) * AudioPlayer::sampleRate / 1000;
    m_placed = std::max({heard, m_player->sampleTime() + leadFrames, qint64(startupFrames)});
    m_player->schedule(bell(), m_placed);
    m_end = std::max(m_end, m_placed + bellFrames);
    if (!m_release)
        releaseWhenDone();
}

void BellChime::cancel() {
    // Only a bell not yet placed, or placed and not yet rendered, can be taken back.
    if (!m_place && (m_placed <= m_player->sampleTime() || !m_player->isRunning()))
        return;
    delete m_place.data();
    delete m_release.data();
    m_placed = 0;
    m_end = 0;
    m_player->stop();
}

void BellChime::releaseWhenDone() {
    if (!m_player->isRunning()) {
        m_end = 0;
        return;
    }
    const qint64 left = m_end - m_player->sampleTime();
    if (left <= 0) {
        m_end = 0;
        if (!m_place) { // a bell set for later keeps the output
            m_placed = 0;
            m_player->stop();
        }
        return;
    }
    // Wait for the rest to be rendered plus what the server still holds, then look again: the
    // output's timeline, not this timer, decides when the bell has been played.
    const int delayMs = static_cast<int>(left * 1000 / AudioPlayer::sampleRate) + tailMs;
    m_release = m_clock.singleShot(delayMs, this, [this] {
        m_release = nullptr;
        releaseWhenDone();
    });
}
