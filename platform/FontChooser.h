#pragma once

class QColor;
class QFont;
class QWidget;

namespace parlino {

// Asks the user for a font: typeface, style, size, colour, underline and strike-out, among the screen's fonts and
// without size limits.
class FontChooser
{
public:
    virtual ~FontChooser() = default;
    // Shows the chooser set to font and color; true, with both replaced by the user's choice, when the user confirms,
    // false with both unchanged when the user cancels.
    virtual bool ChooseFont(QWidget* owner, QFont& font, QColor& color) = 0;
};

} // namespace parlino
