#include "netenum/SortedStrings.h"

#include <algorithm>

namespace parlino {
namespace {

int Compare(const QString& a, const QString& b)
{
    const QString foldedA = a.toCaseFolded();
    const QString foldedB = b.toCaseFolded();
    const int byLocale = QString::localeAwareCompare(foldedA, foldedB);
    // A locale may call two different texts equal; only equal letters ignoring case make a duplicate.
    return byLocale != 0 ? byLocale : foldedA.compare(foldedB);
}

} // namespace

bool TSortedStrings::Find(const QString& name, int* index) const
{
    const auto found = std::lower_bound(names_.begin(), names_.end(), name,
                                        [](const QString& a, const QString& b) { return Compare(a, b) < 0; });
    if (index)
        *index = static_cast<int>(found - names_.begin());
    return found != names_.end() && Compare(*found, name) == 0;
}

bool TSortedStrings::Add(const QString& name)
{
    int index = 0;
    if (Find(name, &index))
        return false;
    names_.insert(index, name);
    return true;
}

} // namespace parlino
