#include "transport/SystemMessenger.h"

namespace parlino {
namespace {

std::vector<std::string> InterfaceNames(const QStringList& list)
{
    std::vector<std::string> names;
    for (const QString& entry : list)
        names.push_back(entry.toStdString());
    return names;
}

} // namespace

SystemMessenger::SystemMessenger(NetworkIdentity identity)
    : identity_(std::move(identity)), codePage_(identity_.dosCharset), network_(InterfaceNames(identity_.interfaces)),
      names_(ThisComputer::Of(identity_, codePage_)),
      mailslots_(network_, claims_, inboxes_, names_, identity_.datagramPort)
{}

} // namespace parlino
