#pragma once

#include "platform/FileChooser.h"

#include <vector>

namespace parlino::fake {

// Answers every question with the name set beforehand (nothing: the user cancels) and records the requests.
class FakeFileChooser final : public FileChooser
{
public:
    std::optional<QString> ChooseSaveFile(QWidget*, const SaveFileRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
    std::optional<QString> ChooseOpenFile(QWidget*, const QString& filter) override
    {
        openFilters.push_back(filter);
        return answer;
    }

    std::optional<QString> answer;
    std::vector<SaveFileRequest> requests;
    std::vector<QString> openFilters;
};

} // namespace parlino::fake
