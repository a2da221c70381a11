#pragma once

#include "platform/DesktopShell.h"

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

} // namespace parlino::fake
