#include "settings/FontFormat.h"

#include <QGuiApplication>
#include <QPalette>

#include <cstdlib>

namespace parlino {

QColor ColorOfTColor(int color)
{
    if (color < 0)
        return QGuiApplication::palette().color(QPalette::Text);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int TColorOfColor(const QColor& color)
{
    return color.red() | color.green() << 8 | color.blue() << 16;
}

QTextCharFormat CharFormatOfFont(const TFont& font)
{
    QTextCharFormat format;
    format.setForeground(ColorOfTColor(font.Color()));
    format.setFontFamilies(QStringList{font.Name()});
    if (const int points = std::abs(font.Size()))
        format.setFontPointSize(points);
    format.setFontWeight(font.Style().testFlag(TFont::fsBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.Style().testFlag(TFont::fsItalic));
    format.setFontUnderline(font.Style().testFlag(TFont::fsUnderline));
    format.setFontStrikeOut(font.Style().testFlag(TFont::fsStrikeOut));
    format.setFontFixedPitch(font.Pitch() == TFont::fpFixed);
    format.setProperty(CharsetProperty, font.Charset());
    format.setProperty(PitchProperty, static_cast<int>(font.Pitch()));
    return format;
}

QFont QFontOfFont(const TFont& font)
{
    QFont qfont(font.Name());
    if (const int pixels = std::abs(font.Height()))
        qfont.setPixelSize(pixels);
    qfont.setBold(font.Style().testFlag(TFont::fsBold));
    qfont.setItalic(font.Style().testFlag(TFont::fsItalic));
    qfont.setUnderline(font.Style().testFlag(TFont::fsUnderline));
    qfont.setStrikeOut(font.Style().testFlag(TFont::fsStrikeOut));
    qfont.setFixedPitch(font.Pitch() == TFont::fpFixed);
    if (font.Pitch() == TFont::fpFixed)
        qfont.setStyleHint(QFont::TypeWriter);
    return qfont;
}

} // namespace parlino
