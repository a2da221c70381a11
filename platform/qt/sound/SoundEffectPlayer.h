#pragma once

#include "platform/DesktopServices.h"

#include <QSoundEffect>

#include <functional>

namespace parlino {

// Plays WAV files through Qt Multimedia; a file it cannot play gives the beep, every time it is asked for.
class SoundEffectPlayer final : public Sound
{
public:
    explicit SoundEffectPlayer(std::function<void()> beep);

    void PlayFile(const QString& path) override;

private:
    std::function<void()> beep_;
    QSoundEffect effect_;
};

} // namespace parlino
