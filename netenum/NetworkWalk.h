#pragma once

#include "netenum/NetUsers.h"

#include <functional>

namespace parlino {

enum class NetworkNode {
    Domain,  // a domain or workgroup
    Computer // a computer of the domain found last
};

// Walks the network in the station tree's order: every domain and workgroup, each followed by its computers,
// handed to found as they are listed. A listing that fails still gives what it read before failing. stop, when
// given, is asked before each domain and ends the walk there.
void WalkNetwork(TNetUsers& users, const std::function<void(NetworkNode, const QString&)>& found,
                 const std::function<bool()>& stop = {});

} // namespace parlino
