#include "settings/Controls.h"

#include "settings/FontFormat.h"

#include <QPalette>

namespace parlino {

TEdit::TEdit(const ScreenDensity& screen, QWidget* parent) : QLineEdit(parent), font_(new TFont(screen, this))
{
    connect(font_, &TFont::Changed, this, &TEdit::ShowFont);
    ShowFont();
}

void TEdit::SetFont(TFont* font)
{
    if (font)
        font_->Assign(*font);
}

void TEdit::ShowFont()
{
    setFont(QFontOfFont(*font_));
    QPalette colors = palette();
    colors.setColor(QPalette::Text, ColorOfTColor(font_->Color()));
    setPalette(colors);
}

} // namespace parlino
