#pragma once

#include <QtGlobal>

// The short bell played when a timer ends.
class Chime {
public:
    virtual ~Chime() = default;
    // Sounds at once.
    virtual void play() = 0;
    // Sounds at atMs on the clock's steady time (at once if that has passed); cancel() drops it.
    virtual void playAt(qint64 atMs) = 0;
    virtual void cancel() = 0;
};
