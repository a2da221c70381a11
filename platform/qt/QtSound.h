#pragma once

#include "platform/DesktopServices.h"
#include "platform/ReachableNames.h"

#include <memory>

namespace parlino {

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
    ReachableNames names_;
};

} // namespace parlino
