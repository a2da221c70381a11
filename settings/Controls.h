#pragma once

#include "platform/Screens.h"
#include "settings/TFont.h"

#include <QCheckBox>
#include <QLineEdit>

namespace parlino {

// A check box whose state is stored as the property Checked.
class TCheckBox final : public QCheckBox
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)

public:
    explicit TCheckBox(const QString& caption, QWidget* parent = nullptr) : QCheckBox(caption, parent) {}

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
};

// A one-line edit whose text and font are stored as the properties Text and Font; it shows itself in its font.
class TEdit final : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(parlino::TFont* Font READ Font WRITE SetFont)

public:
    explicit TEdit(const Screens& screen, QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    TFont* Font() const { return font_; }
    // Copies the font's attributes; the edit keeps its own font object.
    void SetFont(TFont* font);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowFont();

    TFont* font_;
    bool fontShown_ = false;
};

} // namespace parlino
