#pragma once

#include <QString>
#include <QStringList>

namespace parlino {

// A sorted list of names: ordered by the locale's comparison without regard to letter case, and
// without duplicates (a name equal to one present, ignoring letter case, is not added again).
class TSortedStrings
{
public:
    int Count() const { return static_cast<int>(names_.size()); }
    const QString& operator[](int index) const { return names_[index]; }
    // False when an equal name is already present.
    bool Add(const QString& name);
    void Clear() { names_.clear(); }
    // Binary search with the list's own comparison; index is where the name is or would go.
    bool Find(const QString& name, int* index = nullptr) const;
    const QStringList& Names() const { return names_; }

private:
    QStringList names_;
};

} // namespace parlino
