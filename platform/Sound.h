#pragma once

#include <QString>

#include <memory>

namespace parlino {

// Plays a WAV file in the background: the call never waits, a new sound replaces the one playing, and a file
// that cannot be played gives the desktop's default beep instead of silence.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void PlayFile(const QString& path) = 0;
};

// The multimedia player, from its module; null when the module cannot be loaded.
std::unique_ptr<Sound> LoadSoundEffectPlayer();

// Loads the player at the first sound; without it every sound is the beep.
class QtSound final : public Sound
{
public:
    void PlayFile(const QString& path) override;

private:
    bool loadTried_ = false;
    std::unique_ptr<Sound> player_;
};

} // namespace parlino
