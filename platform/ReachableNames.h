#pragma once

#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace parlino {

// Qt names files by their UTF-8 text, so it cannot open a file whose name is not valid UTF-8 (see ByteText.h) by
// that name. This gives such a file a name Qt can open: a link in a private folder to the file's own bytes. The
// links go with the object.
class ReachableNames
{
public:
    // path itself when Qt reaches the file by it; else a link to the file path stands for; empty when no link
    // could be made.
    QString Of(const QString& path);

private:
    std::optional<QTemporaryDir> links_;
};

} // namespace parlino
