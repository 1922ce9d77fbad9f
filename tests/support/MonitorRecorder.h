#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Records what the private PulseAudio server's null sink plays (its monitor), mono.
class MonitorRecorder {
public:
    static constexpr int kRate = 44100;

    ~MonitorRecorder();
    // Starts parecord; false if it could not start.
    bool start();
    // Stops recording and loads the samples.
    void stop();

    const QList<qint16>& samples() const { return m_samples; }
    // Takes samples recorded some other way, for the analyses below.
    void load(QList<qint16> samples) { m_samples = std::move(samples); }
    // Where each sound starts: the first sample above threshold after at least gap quiet ones.
    QList<qsizetype> onsets(int threshold, int gap) const;
    // Stretches of sound louder than threshold, as [begin, end) in ms; gaps shorter than
    // mergeMs are bridged.
    struct Span {
        int beginMs = 0;
        int endMs = 0;
    };
    QList<Span> sounds(double threshold, int windowMs = 20, int mergeMs = 300) const;
    // The same, counting only what lies below about 700 Hz (most of a voice, none of a bell).
    QList<Span> lowBandSounds(double threshold, int windowMs = 20, int mergeMs = 300) const;
    // Start of the first 20 ms window in which a sine of frequency hz reaches amplitude and
    // carries at least half of the window's energy, or -1.
    int toneOnsetMs(double hz, double amplitude) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QList<qint16> m_samples;
};

// Waits on a real event loop when it goes out of scope, so a test's sound has left the shared sink
// before the next test starts (speech-dispatcher reports an end while the server still plays).
struct SinkSettles {
    ~SinkSettles();
};
