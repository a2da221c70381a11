#include "app/RefreshThread.h"

#include "app/StationTree.h"
#include "netenum/NetworkWalk.h"

#include <QTreeWidgetItemIterator>

namespace parlino {

std::array<TStationEntry, kStationListSize + 1> StationList;
int StationCount = 0;

namespace {

constexpr int kRootImage = 0;

} // namespace

CRefreshThread::CRefreshThread(TNetUsers& netUsers, const TIconList& images) : netUsers_(netUsers), images_(images) {}

CRefreshThread::~CRefreshThread()
{
    // Execute uses this object's fields: it must be over before they go.
    if (!Finished()) {
        Terminate();
        WaitFor();
    }
}

void CRefreshThread::AddStation(const QString& name, uint8_t kind)
{
    if (StationCount >= kStationListSize)
        return;
    ++StationCount;
    StationList[static_cast<size_t>(StationCount)] = {name, kind};
}

void CRefreshThread::Execute()
{
    StationCount = 0;
    // The selected node, not the current one: after a Ctrl+click deselect the current node is selected no more.
    std::optional<QString> selected;
    Synchronize([&] {
        if (tree_ && !tree_->selectedItems().isEmpty())
            selected = tree_->selectedItems().first()->text(0);
    });
    WalkNetwork(
        netUsers_,
        [](NetworkNode node, const QString& name) {
            AddStation(name, node == NetworkNode::Domain ? kDomainStation : kComputerStation);
        },
        [this] { return Terminated(); });
    Synchronize([&] { Rebuild(selected); });
}

QTreeWidgetItem* CRefreshThread::AddNode(QTreeWidgetItem* parent, const QString& text, int image)
{
    auto* node = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(tree_, {text});
    node->setIcon(0, images_.Icons(image));
    node->setData(0, kImageIndexRole, image);
    return node;
}

void CRefreshThread::Rebuild(const std::optional<QString>& selected)
{
    if (!tree_)
        return;
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    QTreeWidgetItem* root = AddNode(nullptr, StationTree::RootText(), kRootImage);
    QTreeWidgetItem* domain = root;
    for (int entry = 1; entry <= StationCount; ++entry) {
        const TStationEntry& station = StationList[static_cast<size_t>(entry)];
        if (station.Kind == kDomainStation)
            domain = AddNode(root, station.Name, kDomainStation);
        else
            AddNode(domain, station.Name, kComputerStation);
    }
    tree_->expandAll();
    tree_->setUpdatesEnabled(true);
    if (tree_->window()->isVisible())
        tree_->setFocus();
    tree_->setCurrentItem(root);
    // The scan doesn't stop at a match: the last node in tree order with the old text ends up selected.
    for (QTreeWidgetItemIterator node(tree_); *node; ++node)
        if (selected && (*node)->text(0) == *selected)
            tree_->setCurrentItem(*node);
}

} // namespace parlino
