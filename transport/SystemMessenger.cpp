#include "transport/SystemMessenger.h"

namespace parlino {
namespace {

std::vector<std::string> Names(const QStringList& list)
{
    std::vector<std::string> names;
    for (const QString& entry : list)
        names.push_back(entry.toStdString());
    return names;
}

} // namespace

SystemMessenger::SystemMessenger(NetworkIdentity identity)
    : identity_(std::move(identity)), codePage_(identity_.dosCharset), network_(Names(identity_.interfaces)),
      mailslots_(network_, claims_,
                 {codePage_.ToOemBytes(identity_.netbiosName), codePage_.ToOemBytes(identity_.workgroup),
                  identity_.datagramPort})
{}

} // namespace parlino
