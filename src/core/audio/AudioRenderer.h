#pragma once

#include "core/audio/AudioPlayer.h"
#include "core/audio/SpscRing.h"

#include <QtGlobal>
#include <array>
#include <atomic>

// Mixes scheduled buffers into output blocks by sample position; the timeline is the count of
// frames rendered. One control thread (schedule, dropVoice, collect, reset) and one render thread
// (render) share only two lock-free queues and the frame counter.
//
// The render thread never frees a buffer: buffers travel to it through one queue and, once played
// or dropped, travel back through another, and the control thread lets go of them there. That
// keeps allocation and deallocation off the render path, as well as locks.
class AudioRenderer {
public:
    using Buffer = AudioPlayer::Buffer;
    // At most this many buffers may be scheduled and not yet handed back at once.
    static constexpr int maxPending = 256;

    AudioRenderer();
    ~AudioRenderer();
    AudioRenderer(const AudioRenderer&) = delete;
    AudioRenderer& operator=(const AudioRenderer&) = delete;

    // Control thread. False when too much is pending (the buffer is not played).
    bool schedule(int voice, const Buffer& buffer, qint64 at);
    // Control thread: drops what voice has scheduled or playing; anyVoice drops everything.
    static constexpr int anyVoice = -1;
    void dropVoice(int voice);
    // Control thread: releases the buffers the render thread has finished with.
    void collect();
    // Control thread, while no render is running or can start: forgets everything and restarts
    // the timeline at 0.
    void reset();
    // Any thread: frames rendered so far.
    qint64 frames() const { return m_frames.load(std::memory_order_acquire); }

    // Render thread: writes the next count frames of the mix to out.
    void render(float* out, int count);

private:
    enum class Kind : quint8 { Play, Drop };
    struct Command {
        Buffer buffer;
        qint64 at = 0;
        int voice = 0;
        Kind kind = Kind::Play;
    };
    struct Voice {
        Buffer buffer;
        qint64 at = 0;
        qint64 end = 0;
        int voice = 0;
    };

    void take(Command& command);
    void retire(int index);

    SpscRing<Command, 512> m_commands;
    SpscRing<Buffer, 512> m_finished;
    int m_pending = 0; // control thread: scheduled and not yet collected

    // Render thread only.
    std::array<Voice, maxPending> m_playing{};
    int m_playingCount = 0;

    std::atomic<qint64> m_frames{0};
};
