#include "settings/TFont.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace parlino {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    if (magnitude > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

TFont::TFont(const Screens& screen, QObject* parent) : QObject(parent), screen_(screen)
{
    height_ = -MulDiv(8, screen_.PixelsPerInch(), 72);
}

void TFont::Assign(const TFont& other)
{
    charset_ = other.charset_;
    color_ = other.color_;
    height_ = other.height_;
    name_ = other.name_;
    pitch_ = other.pitch_;
    style_ = other.style_;
    Q_EMIT Changed();
}

template <typename T> void TFont::Update(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT Changed();
}

void TFont::SetCharset(int charset)
{
    Update(charset_, charset);
}

void TFont::SetColor(int color)
{
    Update(color_, color);
}

void TFont::SetHeight(int height)
{
    // The lowest int has no positive counterpart, and heights are used by their magnitude.
    Update(height_, std::max(height, -std::numeric_limits<int>::max()));
}

void TFont::SetName(const QString& name)
{
    Update(name_, name);
}

void TFont::SetPitch(TFontPitch pitch)
{
    Update(pitch_, pitch);
}

int TFont::Size() const
{
    return -MulDiv(height_, 72, screen_.PixelsPerInch());
}

void TFont::SetSize(int size)
{
    SetHeight(-MulDiv(size, screen_.PixelsPerInch(), 72));
}

void TFont::SetStyle(TFontStyles style)
{
    Update(style_, style);
}

} // namespace parlino
