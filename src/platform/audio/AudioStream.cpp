#include "platform/audio/AudioStream.h"

#include "core/audio/AudioPlayer.h"
#include "platform/audio/RenderDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <chrono>

namespace {

QString describe(QAudio::Error error) {
    switch (error) {
    case QAudio::OpenError:
        return QStringLiteral("the audio output could not be opened");
    case QAudio::IOError:
        return QStringLiteral("the audio output stopped accepting data");
    case QAudio::UnderrunError:
        return QStringLiteral("the audio output ran dry");
    case QAudio::FatalError:
        return QStringLiteral("the audio output failed");
    case QAudio::NoError:
        break;
    }
    return QStringLiteral("the audio output stopped");
}

} // namespace

QThread* AudioStream::sharedThread() {
    // Qt's PulseAudio backend keeps one connection per process, owned by the thread that first
    // starts an output. When the server goes away it drops the connection through that thread's
    // event loop and tries again 3 s later, and it expects the outputs on the same thread: on an
    // audio thread per stream, the retry died with the thread and sound never came back; on the
    // main thread, dropping the connection raced with an audio thread closing its output, and
    // crashed. (It tries only once: a server back later than that, or missing when the
    // connection was first made, is still not found.) Never stopped: the process ends with it.
    static QThread* thread = [] {
        auto* t = new QThread;
        t->setObjectName(QStringLiteral("pobi-audio"));
        t->start(QThread::TimeCriticalPriority);
        return t;
    }();
    return thread;
}

AudioStream::AudioStream(AudioRenderer& renderer, std::atomic<qint64>& heardOrigin)
    : m_renderer(renderer), m_heardOrigin(heardOrigin) {}

qint64 AudioStream::steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void AudioStream::updateOrigin() {
    // The server's own (interpolated) play position; 0 until the stream really plays, and then
    // the origin set at start stands.
    const qint64 playedUs = m_sink ? m_sink->processedUSecs() : 0;
    if (playedUs > 0)
        m_heardOrigin.store(steadyNs() - playedUs * 1000, std::memory_order_release);
}

AudioStream::~AudioStream() {
    close();
}

bool AudioStream::open(QString* error) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        *error = QStringLiteral("no audio output device");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(AudioPlayer::sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    if (device.isFormatSupported(format) && openAs(false, error))
        return true;
    return openAs(true, error);
}

bool AudioStream::openAs(bool int16, QString* error) {
    close();
    QAudioFormat format;
    format.setSampleRate(AudioPlayer::sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(int16 ? QAudioFormat::Int16 : QAudioFormat::Float);

    m_int16 = int16;
    // The server's buffer is left at Qt's default (200 ms). Shorter ones underrun on a busy
    // machine, and the server then skips what arrives late; below two 20 ms periods the stream
    // never even starts, as the server's pre-buffer is never filled.
    m_sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), format, this);
    m_device = new RenderDevice(m_renderer, int16, this);
    m_device->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_sink->start(m_device);
    // A sink that cannot open says so at once, without a state change.
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        *error = describe(m_sink->error());
        close();
        return false;
    }
    connect(m_sink, &QAudioSink::stateChanged, this, &AudioStream::onStateChanged);
    m_originTimer = new QTimer(this);
    m_originTimer->setTimerType(Qt::PreciseTimer);
    connect(m_originTimer, &QTimer::timeout, this, &AudioStream::updateOrigin);
    m_originTimer->start(10);
    return true;
}

void AudioStream::close() {
    delete m_originTimer;
    m_originTimer = nullptr;
    if (m_sink) {
        disconnect(m_sink, nullptr, this, nullptr);
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
    }
    if (m_device) {
        m_device->close();
        delete m_device;
        m_device = nullptr;
    }
}

void AudioStream::onStateChanged(QAudio::State state) {
    if (state != QAudio::StoppedState || !m_sink || m_sink->error() == QAudio::NoError)
        return;
    const QString reason = describe(m_sink->error());
    close();
    emit failed(reason);
}
