#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

#include <functional>
#include <vector>

namespace parlino::fake {

// Records every box as if the user had dismissed it at once, or after whileShown, where a test can run a nested
// loop as a modal box does.
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
        if (whileShown)
            whileShown();
    }
    const std::vector<Box>& Shown() const { return shown_; }

    std::function<void()> whileShown;

private:
    std::vector<Box> shown_;
};

} // namespace parlino::fake
