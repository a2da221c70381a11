#include "netenum/SortedStrings.h"

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
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (Compare(names_[middle], name) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (index)
        *index = low;
    return low < Count() && Compare(names_[low], name) == 0;
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
