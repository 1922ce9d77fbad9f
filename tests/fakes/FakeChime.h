#pragma once

#include "core/audio/Chime.h"

#include <functional>

// Counts the chimes set and not cancelled; onPlay lets a test note each one and the steady time
// it is to sound at (-1: at once).
class FakeChime final : public Chime {
public:
    void play() override { playAt(-1); }
    void playAt(qint64 atMs) override {
        ++m_plays;
        if (onPlay)
            onPlay(atMs);
    }
    void cancel() override { --m_plays; }
    int plays() const { return m_plays; }
    std::function<void(qint64)> onPlay;

private:
    int m_plays = 0;
};
