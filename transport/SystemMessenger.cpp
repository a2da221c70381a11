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

std::string Oem(const CodePage& codePage, const QString& text)
{
    const QByteArray bytes = codePage.ToOem(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

SystemMessenger::SystemMessenger(NetworkIdentity identity)
    : identity_(std::move(identity)), codePage_(identity_.dosCharset), network_(Names(identity_.interfaces)),
      mailslots_(network_, claims_,
                 {Oem(codePage_, identity_.netbiosName), Oem(codePage_, identity_.workgroup), identity_.datagramPort})
{
}

}  // namespace parlino
