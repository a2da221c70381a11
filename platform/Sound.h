#pragma once

#include <QString>

namespace parlino {

// Plays a WAV file in the background: the call never waits, a new sound replaces the one playing, and a file
// that cannot be played gives the desktop's default beep instead of silence.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void PlayFile(const QString& path) = 0;
};

} // namespace parlino
