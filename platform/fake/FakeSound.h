#pragma once

#include "platform/Sound.h"

#include <QStringList>

namespace parlino::fake {

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
