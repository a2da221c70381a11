#include "platform/FileSaver.h"

#include <QSaveFile>

namespace parlino {

SaveResult DiskFileSaver::Save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SaveResult::CannotCreate;
    if (file.write(bytes) != bytes.size() || !file.commit())
        return SaveResult::WriteFailed;
    return SaveResult::Saved;
}

} // namespace parlino
