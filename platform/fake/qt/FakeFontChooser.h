#pragma once

#include "platform/FontChooser.h"

#include <QColor>
#include <QFont>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace parlino::fake {

// Answers with the font and colour set beforehand (nothing: the user cancels) and records what it was shown.
class FakeFontChooser final : public FontChooser
{
public:
    bool ChooseFont(QWidget*, QFont& font, QColor& color) override
    {
        shown.emplace_back(font, color);
        if (!answer)
            return false;
        std::tie(font, color) = *answer;
        return true;
    }

    std::optional<std::pair<QFont, QColor>> answer;
    std::vector<std::pair<QFont, QColor>> shown;
};

} // namespace parlino::fake
