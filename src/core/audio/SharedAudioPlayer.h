#pragma once

#include "core/audio/AudioPlayer.h"

#include <QPointer>

class AudioShare;

// One user's view of a shared output: start() holds it (starting it if nobody else does), stop()
// drops this user's sounds and lets go of it (stopping it if this was the last user). Sample
// times are those of the shared output.
class SharedAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    explicit SharedAudioPlayer(AudioShare& share, QObject* parent = nullptr);
    ~SharedAudioPlayer() override;

    bool start() override;
    void stop() override;
    bool isRunning() const override;
    QString errorString() const override { return m_error; }
    qint64 sampleTime() const override;
    qint64 playedTime() const override;
    // Plays on this user's own voice, whatever voice is asked for.
    void scheduleVoice(int voice, const Buffer& buffer, qint64 at) override;
    void dropVoice(int voice) override;

private:
    QPointer<AudioShare> m_share;
    int m_voice = 0;
    bool m_holding = false;
    QString m_error;
};
