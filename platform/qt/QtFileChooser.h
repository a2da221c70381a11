#pragma once

#include "platform/FileChooser.h"

namespace parlino {

class QtFileChooser final : public FileChooser
{
public:
    std::optional<QString> ChooseSaveFile(QWidget* owner, const SaveFileRequest& request) override;
    std::optional<QString> ChooseOpenFile(QWidget* owner, const QString& filter) override;
};

} // namespace parlino
