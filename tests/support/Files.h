#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace parlino::test {

// Writes a whole file for a test to read; true when all of it was written.
inline bool WriteWholeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace parlino::test
