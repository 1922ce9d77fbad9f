#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Records what the private PulseAudio server's null sink plays (its monitor), mono.
class MonitorRecorder {
public:
    static constexpr int sampleRate = 44100;

    // Starts parecord and waits until the sink has been silent for a second (a sound left from an
    // earlier test is not recorded); false if it did not come to that.
    bool start();
    // Length of the recording so far, in ms: the sink's own clock, to time what a test does.
    int recordedMs() const;
    // Waits until what was played before the call is recorded, and the recording is at least
    // untilMs long; then stops and loads the samples.
    void stop(int untilMs = 0);

    const QList<qint16>& samples() const { return m_samples; }
    // Takes samples recorded some other way, for the analyses below.
    void load(QList<qint16> samples) { m_samples = std::move(samples); }
    // Where each sound starts: the first sample above threshold after at least gap quiet ones.
    QList<qsizetype> onsets(int threshold, int gap) const;
    // Stretches louder than threshold below about 700 Hz (most of a voice, none of a bell), as
    // [begin, end) in ms; gaps shorter than mergeMs are bridged.
    struct Span {
        int beginMs = 0;
        int endMs = 0;
    };
    QList<Span> lowBandSounds(double threshold, int windowMs = 20, int mergeMs = 300) const;
    // Start of the first 20 ms window in which a sine of frequency hz reaches amplitude and
    // carries at least half of the window's energy, or -1.
    int toneOnsetMs(double hz, double amplitude) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QList<qint16> m_samples;
    qint64 m_skip = 0; // bytes recorded before the sink fell silent
};
