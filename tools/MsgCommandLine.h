#pragma once

#include <QString>
#include <QStringList>

#include <variant>

namespace parlino {

// What parlino-msg is asked to do, with the values its options give; a field belongs to the commands named.
struct MsgCommand
{
    enum class Kind {
        Usage, // nothing asked at all: the usage, as an error
        Help,
        Send,
        Listen,
        Browse,
        Deliver,
        Resolve
    };
    Kind kind = Kind::Usage;
    QString target{};   // send, resolve
    QString text{};     // send
    QString from{};     // send (empty for this computer's name), deliver
    bool smb = false;   // send
    QString file{};     // deliver
    bool json = false;  // listen
    int count = 0;      // listen; 0 for no end
    double timeout = 0; // listen, seconds; 0 for no end
    double watch = 0;   // browse, seconds; 0 for one listing

    bool operator==(const MsgCommand&) const = default;
};

extern const char* const kMsgUsage;

// The command the arguments (without the program's name) ask for, or one line saying why they are refused.
// Options may stand anywhere after the command; "--" ends them, for a text that begins with "-".
std::variant<MsgCommand, QString> ParseMsgCommandLine(const QStringList& arguments);

} // namespace parlino
