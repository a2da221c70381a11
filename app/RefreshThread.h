#pragma once

#include "netenum/NetUsers.h"
#include "platform/Thread.h"
#include "tray/IconList.h"

#include <QString>
#include <QTreeWidget>

#include <array>
#include <cstdint>
#include <optional>

namespace parlino {

// One entry of the station list: kind 1 for a domain or workgroup, 2 for a computer.
struct TStationEntry
{
    QString Name;
    uint8_t Kind = 0;
};

constexpr int kStationListSize = 1000;
constexpr uint8_t kDomainStation = 1;
constexpr uint8_t kComputerStation = 2;
// Shared by the refresh threads, one at a time: entries 1..StationCount in the order found, each
// domain followed by its computers. Entries past the last place are ignored.
extern std::array<TStationEntry, kStationListSize + 1> StationList;
extern int StationCount;

// Where a tree node keeps the indices of its picture in the image list, normal and selected.
constexpr int kImageIndexRole = Qt::UserRole + 1;
constexpr int kSelectedIndexRole = Qt::UserRole + 2;

// Enumerates the network at idle priority and rebuilds the station tree from what it found. Reading the
// selection and the whole rebuild are each one hand-over to the main thread, so the tree is never seen
// half built; a terminate request is looked at before each domain and still ends in a rebuild.
class CRefreshThread final : public TThread
{
public:
    CRefreshThread(TNetUsers& netUsers, const TIconList& images);
    ~CRefreshThread() override;

    // Main thread only. Without a tree (the window is going) the enumeration ends without a rebuild.
    void SetTree(QTreeWidget* tree) { tree_ = tree; }

protected:
    void Execute() override;

private:
    static void AddStation(const QString& name, uint8_t kind);
    // Selects again the last node whose text is the one selected before; the root when there was none.
    void Rebuild(const std::optional<QString>& selected);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int image);

    TNetUsers& netUsers_;
    const TIconList& images_;
    QTreeWidget* tree_ = nullptr;
};

} // namespace parlino
