#pragma once

#include <QByteArray>
#include <QString>

namespace parlino {

enum class SaveResult { Saved, CannotCreate, WriteFailed };

// Writes a whole file, replacing any file of that name.
class FileSaver
{
public:
    virtual ~FileSaver() = default;
    virtual SaveResult Save(const QString& path, const QByteArray& bytes) = 0;
};

// Writes beside the target and renames over it, so a failed save leaves the old file whole.
class DiskFileSaver final : public FileSaver
{
public:
    SaveResult Save(const QString& path, const QByteArray& bytes) override;
};

} // namespace parlino
