#pragma once

#include "settings/TFont.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>

namespace parlino {

// Where a character format keeps the font attributes Qt has no field for, so they survive into saved files.
enum FontFormatProperty {
    CharsetProperty = QTextFormat::UserProperty + 1, // int: the font's character set number
    PitchProperty                                    // int: a TFont::TFontPitch
};

// A Windows colour value as a colour; a system colour (negative) becomes the palette's text colour.
QColor ColorOfTColor(int color);
int TColorOfColor(const QColor& color);

// The attributes a transcript line takes from a font: colour, face name, character set, style, size, pitch.
QTextCharFormat CharFormatOfFont(const TFont& font);

// The font a control shows its own text in.
QFont QFontOfFont(const TFont& font);

} // namespace parlino
