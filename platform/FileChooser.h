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

// Asks the user for a file; nothing when the user cancels.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The name of a file to write. An existing file is offered without an overwrite question.
    virtual std::optional<QString> ChooseSaveFile(QWidget* owner, const SaveFileRequest& request) = 0;
    // The full path of an existing file to read, among those that filter (as SaveFileRequest's) lets through.
    virtual std::optional<QString> ChooseOpenFile(QWidget* owner, const QString& filter) = 0;
};

} // namespace parlino
