#pragma once

#include "platform/FileSaver.h"

#include <QMap>

namespace parlino::fake {

// Keeps saved files in memory and fails on demand.
class FakeFileSaver final : public FileSaver
{
public:
    SaveResult Save(const QString& path, const QByteArray& bytes) override
    {
        if (result == SaveResult::Saved)
            files[path] = bytes;
        return result;
    }

    SaveResult result = SaveResult::Saved;
    QMap<QString, QByteArray> files;
};

} // namespace parlino::fake
