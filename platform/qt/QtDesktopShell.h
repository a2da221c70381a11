#pragma once

#include "platform/DesktopShell.h"

namespace parlino {

class QtDesktopShell final : public DesktopShell
{
public:
    void Open(const QString& target) override;
};

} // namespace parlino
