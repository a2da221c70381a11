#pragma once

#include "platform/FontChooser.h"

namespace parlino {

// Qt's font dialog, which has no colour, composed with a colour button that opens Qt's colour dialog.
class QtFontChooser final : public FontChooser
{
public:
    bool ChooseFont(QWidget* owner, QFont& font, QColor& color) override;
};

} // namespace parlino
