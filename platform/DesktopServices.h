#pragma once

#include <QString>

namespace parlino {

// Opens a document or a web address with whatever the desktop associates with it.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    // A text with a scheme ("https://…") is a web address, anything else a local path. The outcome is the
    // desktop's business: callers don't look at it.
    virtual void Open(const QString& target) = 0;
};

// Plays a WAV file in the background: the call never waits, a new sound replaces the one playing, and a file
// that cannot be played gives the desktop's default beep instead of silence.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void PlayFile(const QString& path) = 0;
};

} // namespace parlino
