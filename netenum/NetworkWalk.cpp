#include "netenum/NetworkWalk.h"

namespace parlino {

void WalkNetwork(TNetUsers& users, const std::function<void(NetworkNode, const QString&)>& found,
                 const std::function<bool()>& stop)
{
    users.SetServer({});
    users.EnumDomains();
    // A copy: listing a domain's computers replaces the items.
    const QStringList domains = users.Items().Names();
    for (const QString& domain : domains) {
        if (stop && stop())
            return;
        found(NetworkNode::Domain, domain);
        users.SetServer(domain);
        users.Refresh();
        for (const QString& computer : users.Items().Names())
            found(NetworkNode::Computer, computer);
    }
}

} // namespace parlino
