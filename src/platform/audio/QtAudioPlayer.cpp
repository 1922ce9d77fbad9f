#include "platform/audio/QtAudioPlayer.h"

#include "core/audio/AudioRenderer.h"
#include "core/log/Log.h"
#include "platform/audio/AudioStream.h"

#include <QThread>
#include <algorithm>

QtAudioPlayer::QtAudioPlayer(QObject* parent)
    : AudioPlayer(parent), m_renderer(std::make_unique<AudioRenderer>()) {}

QtAudioPlayer::~QtAudioPlayer() {
    teardown();
}

bool QtAudioPlayer::start() {
    if (m_running)
        return true;
    m_renderer->reset();
    // Every start opens a new output, so one after a failure works again once the backend has
    // reconnected.
    m_thread = AudioStream::sharedThread();
    // Until the server reports playing, frame 0 counts as heard the moment the output opens.
    m_heardOrigin.store(AudioStream::steadyNs());
    m_stream = new AudioStream(*m_renderer, m_heardOrigin);
    m_stream->moveToThread(m_thread);

    const quint64 generation = ++m_generation;
    connect(
        m_stream, &AudioStream::failed, this,
        [this, generation](const QString& reason) {
            // A failure of an earlier stream, delivered late, is not this one's.
            if (generation != m_generation || !m_running)
                return;
            qCDebug(lcAudio) << "audio output lost:" << reason;
            teardown();
            emit failed(reason);
        },
        Qt::QueuedConnection);

    bool ok = false;
    QString error;
    AudioStream* stream = m_stream;
    QMetaObject::invokeMethod(
        stream, [stream, &ok, &error] { ok = stream->open(&error); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        qCDebug(lcAudio) << "audio output not opened:" << error;
        teardown();
        m_error = error;
        return false;
    }
    m_int16 = stream->int16();
    qCDebug(lcAudio) << "audio output opened, samples as" << (m_int16 ? "int16" : "float");
    m_running = true;
    m_error.clear();
    return true;
}

void QtAudioPlayer::stop() {
    teardown();
}

void QtAudioPlayer::teardown() {
    m_running = false;
    if (m_stream) {
        AudioStream* stream = m_stream;
        disconnect(stream, nullptr, this, nullptr);
        QMetaObject::invokeMethod(
            stream, [stream] { stream->close(); }, Qt::BlockingQueuedConnection);
        stream->deleteLater();
    }
    m_stream = nullptr;
    m_thread = nullptr;
    // Nothing renders any more: everything scheduled can go, on this thread.
    m_renderer->reset();
}

qint64 QtAudioPlayer::sampleTime() const {
    return m_running ? m_renderer->frames() : 0;
}

qint64 QtAudioPlayer::playedTime() const {
    if (!m_running)
        return 0;
    const qint64 ns = AudioStream::steadyNs() - m_heardOrigin.load(std::memory_order_acquire);
    return std::clamp<qint64>(ns * sampleRate / 1000000000, 0, m_renderer->frames());
}

void QtAudioPlayer::scheduleVoice(int voice, const Buffer& buffer, qint64 at) {
    if (m_running)
        m_renderer->schedule(voice, buffer, at);
}

void QtAudioPlayer::dropVoice(int voice) {
    if (m_running)
        m_renderer->dropVoice(voice);
}
