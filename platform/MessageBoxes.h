#pragma once

#include <QString>

class QWidget;

namespace parlino {

// Modal message boxes; each call returns when the user has dismissed the box.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // An error box with an OK button; owner may be null: the box then belongs to no window.
    virtual void ShowError(QWidget* owner, const QString& text, const QString& caption) = 0;
};

} // namespace parlino
