#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace parlino {

struct SaveFileRequest
{
    // A default extension with its dot (".rtf"), added to a name typed without one.
    QString defaultExt;
    // Pairs of description and pattern, all joined by "|": "Text (*.TXT)|*.txt|All Files (*.*)|*.*".
    QString filter;
};

// Asks the user for the name of a file to write; nothing when the user cancels. An existing file is
// offered without an overwrite question.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    virtual std::optional<QString> ChooseSaveFile(QWidget* owner, const SaveFileRequest& request) = 0;
};

} // namespace parlino
