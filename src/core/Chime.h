#pragma once

// The short bell played when a timer ends.
class Chime {
public:
    virtual ~Chime() = default;
    virtual void play() = 0;
};
