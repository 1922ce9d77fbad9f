#pragma once

#include <QIODevice>
#include <array>

class AudioRenderer;

// The sequential device an audio sink pulls from: every read renders the next frames of the mix,
// as 32-bit float or as 16-bit integer samples. Never runs dry (silence is rendered too), so the
// renderer's frame count follows the device's clock.
class RenderDevice final : public QIODevice {
    Q_OBJECT
public:
    RenderDevice(AudioRenderer& renderer, bool int16, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static constexpr int scratchFrames = 2048;

    AudioRenderer& m_renderer;
    bool m_int16;
    // Rendering goes through here: no allocation on the audio thread, and no float stores into a
    // byte buffer of unknown alignment.
    std::array<float, scratchFrames> m_scratch{};
};
