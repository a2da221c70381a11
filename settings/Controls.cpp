#include "settings/Controls.h"

#include "settings/FontFormat.h"

#include <QPalette>

namespace parlino {

TEdit::TEdit(const Screens& screen, QWidget* parent) : QLineEdit(parent), font_(new TFont(screen, this))
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
    // Each font set lays the text out again, and a new size loads a font: a hidden edit (the options
    // dialog is made at start-up and shown later, if ever) takes its font when it is shown.
    fontShown_ = isVisible();
    if (!fontShown_)
        return;
    setFont(QFontOfFont(*font_));
    QPalette colors = palette();
    colors.setColor(QPalette::Text, ColorOfTColor(font_->Color()));
    setPalette(colors);
}

void TEdit::showEvent(QShowEvent* event)
{
    if (!fontShown_)
        ShowFont();
    QLineEdit::showEvent(event);
}

} // namespace parlino
