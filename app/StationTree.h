#pragma once

#include <QTreeWidget>

namespace parlino {

// The station tree is always fully expanded, so it draws no expand buttons or lines at any level.
class StationTree final : public QTreeWidget
{
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

    // The root node's label, in the user's language.
    static QString RootText() { return tr("Network"); }

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

} // namespace parlino
