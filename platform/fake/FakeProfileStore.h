#pragma once

#include "platform/ProfileStore.h"

#include <map>
#include <set>

namespace parlino::fake {

// Settings files in memory, read and written with the same rules as on disk. A file can be made read-only, or the
// disk full, to see how callers meet a failed write.
class FakeProfileStore final : public ProfileStore
{
public:
    // The file's text as a save left it; empty when it was never written.
    QString Text(const QString& fileName) const;
    std::string Bytes(const QString& fileName) const;
    void SetText(const QString& fileName, const QString& text);
    void SetBytes(const QString& fileName, std::string bytes);
    bool Exists(const QString& fileName) const;

    void SetReadOnly(const QString& fileName, bool readOnly);
    // Every file still counts as writable, but no save gets through.
    void SetDiskFull(bool full) { diskFull_ = full; }
    int SaveCount() const { return saveCount_; }

protected:
    bool Load(const QString& fileName, std::string& text) override;
    bool Save(const QString& fileName, const std::string& text) override;
    bool Writable(const QString& fileName) override;

private:
    std::map<QString, std::string> files_;
    std::set<QString> readOnly_;
    int saveCount_ = 0;
    bool diskFull_ = false;
};

} // namespace parlino::fake
