#pragma once

#include <QString>

#include <memory>

class QSoundEffect;

namespace parlino {

// Plays a WAV file in the background: the call never waits, a new sound replaces the one playing, and a file
// that cannot be played gives the desktop's default beep instead of silence.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void PlayFile(const QString& path) = 0;
};

class QtSound final : public Sound
{
public:
    QtSound();
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void PlayFile(const QString& path) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace parlino
