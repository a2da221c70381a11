#pragma once

#include "platform/DesktopServices.h"

#include <QStringList>

namespace parlino::fake {

// Records what was to be opened instead of opening it.
class FakeDesktopShell final : public DesktopShell
{
public:
    void Open(const QString& target) override { opened_.append(target); }
    const QStringList& Opened() const { return opened_; }

private:
    QStringList opened_;
};

// Records the files it was asked to play.
class FakeSound final : public Sound
{
public:
    void PlayFile(const QString& path) override { played_.append(path); }
    const QStringList& Played() const { return played_; }

private:
    QStringList played_;
};

} // namespace parlino::fake
