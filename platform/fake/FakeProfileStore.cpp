#include "platform/fake/FakeProfileStore.h"

namespace parlino::fake {

QString FakeProfileStore::Text(const QString& fileName) const
{
    return QString::fromStdString(Bytes(fileName));
}

std::string FakeProfileStore::Bytes(const QString& fileName) const
{
    const auto file = files_.find(CanonicalName(fileName));
    return file == files_.end() ? std::string() : file->second;
}

void FakeProfileStore::SetText(const QString& fileName, const QString& text)
{
    SetBytes(fileName, text.toStdString());
}

void FakeProfileStore::SetBytes(const QString& fileName, std::string bytes)
{
    files_[CanonicalName(fileName)] = std::move(bytes);
}

bool FakeProfileStore::Exists(const QString& fileName) const
{
    return files_.contains(CanonicalName(fileName));
}

void FakeProfileStore::SetReadOnly(const QString& fileName, bool readOnly)
{
    if (readOnly)
        readOnly_.insert(CanonicalName(fileName));
    else
        readOnly_.erase(CanonicalName(fileName));
}

bool FakeProfileStore::Load(const QString& fileName, std::string& text)
{
    const auto file = files_.find(CanonicalName(fileName));
    text = file == files_.end() ? std::string() : file->second;
    return true;
}

bool FakeProfileStore::Writable(const QString& fileName)
{
    return !readOnly_.contains(CanonicalName(fileName));
}

bool FakeProfileStore::Save(const QString& fileName, const std::string& text)
{
    if (!Writable(fileName) || diskFull_)
        return false;
    files_[CanonicalName(fileName)] = text;
    ++saveCount_;
    return true;
}

} // namespace parlino::fake
