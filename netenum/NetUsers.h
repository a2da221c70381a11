#pragma once

#include "netenum/SortedStrings.h"
#include "platform/Component.h"
#include "platform/ComputerName.h"
#include "platform/NetworkBrowser.h"

namespace parlino {

// Lists the network's domains and workgroups, or the computers of one, into Items.
// Every operation reports success and never raises; names found before a failure stay in Items.
class TNetUsers final : public TComponent
{
    Q_OBJECT
    Q_PROPERTY(QString Server READ Server WRITE SetServer)

public:
    TNetUsers(QObject* owner, NetworkBrowser& browser, const ComputerName& computerName);

    QString Server() const { return server_; }
    void SetServer(const QString& server);
    const TSortedStrings& Items() const { return items_; }

    bool EnumDomains();
    bool EnumServers();
    // EnumServers for Server; with Server empty it first finds the workgroup of this computer.
    bool Refresh();

private:
    // Reads a listing to its end, handing every record to take; false on any failure.
    bool ReadAll(NetworkBrowser::Handle handle, const std::function<void(const NetResource&)>& take);

    NetworkBrowser& browser_;
    const ComputerName& computerName_;
    QString server_;
    TSortedStrings items_;
};

} // namespace parlino
