#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Records what the private PulseAudio server's null sink plays (its monitor), 16 kHz mono.
class MonitorRecorder {
public:
    static constexpr int kRate = 16000;

    MonitorRecorder();
    ~MonitorRecorder();
    // Starts parecord; false if it could not start.
    bool start();
    // Stops recording and loads the samples.
    void stop();

    const QList<qint16>& samples() const { return m_samples; }
    // Root-mean-square level of each window of windowMs, from the start of the recording.
    QList<double> levels(int windowMs) const;
    // Stretches of sound louder than threshold, as [begin, end) in ms; gaps shorter than
    // mergeMs are bridged.
    struct Span {
        int beginMs = 0;
        int endMs = 0;
    };
    QList<Span> sounds(double threshold, int windowMs = 20, int mergeMs = 300) const;
    // Fraction of a stretch's energy in zero crossings: high for hissy speech fricatives, low for
    // a pure bell-like tone. Returns crossings per second.
    double zeroCrossingsPerSecond(const Span& span) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QList<qint16> m_samples;
};
