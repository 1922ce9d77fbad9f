#pragma once

#include "Chime.h"

#include <functional>

// Counts the chimes played; onPlay lets a test note when one came.
class FakeChime final : public Chime {
public:
    void play() override {
        ++m_plays;
        if (onPlay)
            onPlay();
    }
    int plays() const { return m_plays; }
    std::function<void()> onPlay;

private:
    int m_plays = 0;
};
