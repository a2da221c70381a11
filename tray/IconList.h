#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>

#include <functional>

namespace parlino {

// An ordered list of pictures that tells its owner when it changes. Changes made between BeginUpdate
// and the matching EndUpdate are told once, when the outermost update ends. A null picture is an
// empty place.
class TIconList
{
public:
    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    int Count() const { return static_cast<int>(icons_.size()); }
    // Index must lie in 0 .. Count() - 1.
    const QIcon& Icons(int index) const { return icons_.at(index); }

    void Add(const QIcon& icon);
    void Insert(int index, const QIcon& icon);
    void Replace(int index, const QIcon& icon);
    void Delete(int index);
    void Clear();
    void Assign(const TIconList& source);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // The stored form: a 32-bit count, then for each picture a 32-bit byte size and that many bytes
    // of an icon file (size 0 for an empty place); little-endian.
    QByteArray WriteData() const;
    // Replaces the pictures with those of stored data; false, leaving the list as it was, when the data
    // is malformed.
    bool ReadData(const QByteArray& data);

    std::function<void()> OnChange;

private:
    void Changed();

    QList<QIcon> icons_;
    int updateCount_ = 0;
    bool changePending_ = false;
};

} // namespace parlino
