#include "platform/FileSaver.h"

#include "platform/FileReplacement.h"

namespace parlino {

SaveResult DiskFileSaver::Save(const QString& path, const QByteArray& bytes)
{
    const ReplaceResult result =
        ReplaceFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (result.Replaced())
        return SaveResult::Saved;
    return result.created ? SaveResult::WriteFailed : SaveResult::CannotCreate;
}

} // namespace parlino
