#include "platform/ReachableNames.h"

#include "platform/ByteText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace parlino {

QString ReachableNames::Of(const QString& path)
{
    QByteArray native = NativePathOf(path);
    if (native == QFile::encodeName(path))
        return path;
    if (!native.startsWith('/'))
        native.prepend(QFile::encodeName(QDir::currentPath()) + '/');
    if (!links_)
        links_.emplace();
    // One link per file, so that a player that knows a name by what it loaded meets each file under its own.
    const QString link =
        links_->filePath(QString::fromLatin1(QCryptographicHash::hash(native, QCryptographicHash::Sha1).toHex()));
    QFile::remove(link);
    return links_->isValid() && ::symlink(native.constData(), QFile::encodeName(link).constData()) == 0 ? link
                                                                                                        : QString();
}

} // namespace parlino
