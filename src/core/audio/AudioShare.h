#pragma once

#include <QObject>
#include <QString>

class AudioPlayer;

// Lets several users (the metronome, the end chime) play through one output. The output runs while
// at least one user holds it; each user plays on its own voice, so one user stopping drops only
// its own sounds. Users are SharedAudioPlayers made on this share.
class AudioShare : public QObject {
    Q_OBJECT
public:
    explicit AudioShare(AudioPlayer& output, QObject* parent = nullptr);
    ~AudioShare() override;

    AudioPlayer& output() const { return m_output; }
    int users() const { return m_users; }

signals:
    // The output died while held; every user has lost it.
    void failed(const QString& reason);

private:
    friend class SharedAudioPlayer;
    bool acquire();
    void release();
    int newVoice() { return m_nextVoice++; }

    AudioPlayer& m_output;
    int m_users = 0;
    int m_nextVoice = 1;
};
