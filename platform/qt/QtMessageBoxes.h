#pragma once

#include "platform/MessageBoxes.h"

namespace parlino {

class QtMessageBoxes final : public MessageBoxes
{
public:
    void ShowError(QWidget* owner, const QString& text, const QString& caption) override;
};

} // namespace parlino
