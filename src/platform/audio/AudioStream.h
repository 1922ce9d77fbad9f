#pragma once

#include <QAudio>
#include <QObject>
#include <QString>

class AudioRenderer;
class QAudioSink;
class QThread;
class RenderDevice;

// The audio thread's side of the player: a QAudioSink pulling the renderer's mix. Lives in, and
// is only called on, the audio thread.
class AudioStream final : public QObject {
    Q_OBJECT
public:
    explicit AudioStream(AudioRenderer& renderer);
    ~AudioStream() override;

    // Opens the default output (float samples, or 16-bit where float is refused) and starts
    // pulling; false with a reason when it cannot.
    bool open(QString* error);
    // The thread every stream of the process lives on, started on first use and kept for the
    // process's lifetime (see the definition). Call from the main thread.
    static QThread* sharedThread();
    void close();
    bool int16() const { return m_int16; }

signals:
    // The running stream stopped with an error (the server went away).
    void failed(const QString& reason);

private:
    bool openAs(bool int16, QString* error);
    void onStateChanged(QAudio::State state);

    AudioRenderer& m_renderer;
    QAudioSink* m_sink = nullptr;
    RenderDevice* m_device = nullptr;
    bool m_int16 = false;
};
