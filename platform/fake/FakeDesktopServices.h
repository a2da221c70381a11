#pragma once

#include "platform/DesktopServices.h"
#include "platform/fake/Recording.h"

namespace parlino::fake {

// Records what was to be opened instead of opening it.
class FakeDesktopShell final : public Recording<DesktopShell>
{
public:
    void Open(const QString& target) override { Record(target); }
};

// Records the files it was asked to play.
class FakeSound final : public Recording<Sound>
{
public:
    void PlayFile(const QString& path) override { Record(path); }
};

} // namespace parlino::fake
