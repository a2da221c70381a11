#pragma once

#include "platform/DesktopServices.h"

namespace parlino {

class QtDesktopShell final : public DesktopShell
{
public:
    void Open(const QString& target) override;
};

} // namespace parlino
