#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

#include <vector>

namespace parlino::fake {

// Records every box as if the user had dismissed it at once.
class FakeMessageBoxes final : public MessageBoxes
{
public:
    struct Box
    {
        QWidget* owner;
        QString text;
        QString caption;
    };

    void ShowError(QWidget* owner, const QString& text, const QString& caption) override
    {
        shown_.push_back({owner, text, caption});
    }
    const std::vector<Box>& Shown() const { return shown_; }

private:
    std::vector<Box> shown_;
};

} // namespace parlino::fake
