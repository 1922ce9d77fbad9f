#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

// A mono 44,100 Hz float output with its own timeline: buffers are placed to start at a given
// sample time, counted in frames rendered since start().
//
// Everything scheduled belongs to a voice (a small non-negative number); dropVoice() silences one
// voice without touching the others, so several users can share one output.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int sampleRate = 44100;
    using Buffer = std::shared_ptr<const std::vector<float>>;

    using QObject::QObject;
    ~AudioPlayer() override = default;

    // Starts the output; false (with errorString()) when it cannot. Starting a running player
    // does nothing and succeeds.
    virtual bool start() = 0;
    // Stops the output and drops everything scheduled.
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    virtual QString errorString() const = 0;
    // Current sample time of the timeline (0 when stopped): the frames handed to the device so
    // far. The device plays them some time later.
    virtual qint64 sampleTime() const = 0;
    // The sample time being heard now (0 when stopped): sampleTime() less what the sound server
    // still holds.
    virtual qint64 playedTime() const { return sampleTime(); }
    // Plays buffer from sample time at; a time already past plays what is left of it at once.
    void schedule(const Buffer& buffer, qint64 at) { scheduleVoice(0, buffer, at); }
    // The same, on one voice. Ignored while stopped.
    virtual void scheduleVoice(int voice, const Buffer& buffer, qint64 at) = 0;
    // Drops what is scheduled or playing on voice; the output keeps running.
    virtual void dropVoice(int voice) = 0;

signals:
    // The output died while running (e.g. the audio server went away); the player is stopped.
    void failed(const QString& reason);
};
