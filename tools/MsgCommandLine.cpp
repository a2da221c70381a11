#include "tools/MsgCommandLine.h"

#include <QCommandLineParser>

#include <cmath>
#include <limits>
#include <optional>

namespace parlino {

const char* const kMsgUsage = R"(Usage:
  parlino-msg send TARGET TEXT [--from NAME]
      Sends one messenger datagram to TARGET (a computer, a workgroup, or * for this
      computer's workgroup) with the sender field NAME (default: this computer's name)
      and the receiver field TARGET. A TEXT that begins with "-" goes after "--".
      Exits 0 when the datagram was sent, else 1.
      A computer beyond a router (found through WINS) gets the text as an SMB message
      first, as with --smb, and the datagram straight to its address when that fails.
  parlino-msg send --smb TARGET TEXT [--from NAME]
      Sends the text to the computer TARGET (a name of at most 15 bytes) as an SMB message
      over a NetBIOS session (TCP 139), as smbclient -M does, after finding its address as
      resolve does; it gives up after a few seconds, whatever TARGET sends.
      Exits 0 when TARGET took the message, else 1 with its error.
  parlino-msg resolve NAME
      Prints the address of the computer NAME and where it came from ("WINS" or
      "broadcast"), as "ADDRESS SOURCE": asked of each WINS server in turn, then by a
      broadcast name query. Exits 0 when found, else 1.
  parlino-msg listen [--json] [--count N] [--timeout SECONDS]
      Opens the mailslot "messngr" and prints each message as "SENDER -> RECEIVER: TEXT",
      or with --json as one object per line with the keys "from", "to" and "text".
      Stops after N messages or SECONDS seconds. Exits 2 when the mailslot can't be opened.
  parlino-msg browse [--watch SECONDS]
      Announces this computer, asks the LAN for announcements, and prints each workgroup
      followed by its computers, indented by two blanks, as the station tree shows them.
      With --watch it stays on the LAN for SECONDS seconds and prints the list again, after
      an empty line, whenever it changes. Exits 2 when the datagram port can't be had.
  parlino-msg deliver FROM FILE [&]
      Hands the text in FILE (Unix character set, LF line ends) to the Parlino of this
      computer as a message from FROM, then deletes FILE; made for smb.conf's
      "message command = /usr/bin/parlino-msg deliver %f %s &" (smbd passes the "&" on as
      a word). Exits 0 when delivered, else 1 and keeps FILE.

Bad arguments exit 64. SIGINT and SIGTERM stop listen and browse, which then exit 0,
and end any other command at once.

Environment:
  PARLINO_NETBIOS_NAME  this computer's NetBIOS name (default: smb.conf, else the host name)
  PARLINO_WORKGROUP     this computer's workgroup (default: smb.conf, else WORKGROUP)
  PARLINO_DOS_CHARSET   the code page on the wire (default: smb.conf, else CP850)
  PARLINO_INTERFACES    interfaces to use, comma-separated; nothing from or to other networks; "lo"
                        keeps to loopback
  PARLINO_NBT_PORT      the datagram port (default 138, which needs cap_net_bind_service); name
                        queries go to the port below it
  PARLINO_NBSS_PORT     the session port of SMB messages (default 139)
  PARLINO_WINS_SERVER   WINS servers, as smb.conf's "wins server" (default: smb.conf); empty for none
)";

namespace {

// A number of seconds a timer can count; nullopt for anything else.
std::optional<double> Seconds(const QString& text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    constexpr double kLongest = std::numeric_limits<int>::max() / 1000.0;
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kLongest)
        return std::nullopt;
    return seconds;
}

} // namespace

std::variant<MsgCommand, QString> ParseMsgCommandLine(const QStringList& arguments)
{
    using Kind = MsgCommand::Kind;
    if (arguments.isEmpty())
        return MsgCommand{};
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption count(QStringLiteral("count"), QString(), QStringLiteral("N"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("SECONDS"));
    const QCommandLineOption watch(QStringLiteral("watch"), QString(), QStringLiteral("SECONDS"));
    const QCommandLineOption smb(QStringLiteral("smb"));

    // Each command knows only its own options; a word with one dash is a whole option, never a bundle of
    // letters, so "-hello" can't be taken for help.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    const QString& word = arguments.first();
    MsgCommand command; // its kind stays Usage for a word that names no command
    if (word == QLatin1StringView("send")) {
        command.kind = Kind::Send;
        parser.addOptions({from, smb});
    } else if (word == QLatin1StringView("listen")) {
        command.kind = Kind::Listen;
        parser.addOptions({json, count, timeout});
    } else if (word == QLatin1StringView("browse")) {
        command.kind = Kind::Browse;
        parser.addOption(watch);
    } else if (word == QLatin1StringView("deliver")) {
        command.kind = Kind::Deliver;
    } else if (word == QLatin1StringView("resolve")) {
        command.kind = Kind::Resolve;
    }
    // The parser skips the program's name; the command is the first of what follows.
    const bool parsed = parser.parse(QStringList{QStringLiteral("parlino-msg")} + arguments);
    if (parser.isSet(help))
        return MsgCommand{.kind = Kind::Help};
    if (command.kind == Kind::Usage)
        return QStringLiteral("unknown command %1 (see --help)").arg(word);
    if (!parsed)
        return parser.errorText();
    const QStringList operands = parser.positionalArguments().mid(1);

    if (command.kind == Kind::Send) {
        command.from = parser.value(from);
        if (parser.isSet(from) && command.from.isEmpty())
            return QStringLiteral("--from needs a name");
        if (operands.size() != 2)
            return QStringLiteral("send needs TARGET and TEXT (see --help)");
        command.target = operands.at(0);
        command.text = operands.at(1);
        command.smb = parser.isSet(smb);
        return command;
    }
    if (command.kind == Kind::Deliver) {
        // smbd runs its message command without a shell: the "&" that ends the smb.conf line arrives as a word.
        const bool background = operands.size() == 3 && operands.at(2) == QLatin1StringView("&");
        if (operands.size() != 2 && !background)
            return QStringLiteral("deliver needs FROM and FILE (see --help)");
        command.from = operands.at(0);
        command.file = operands.at(1);
        return command;
    }
    if (command.kind == Kind::Resolve) {
        if (operands.size() != 1)
            return QStringLiteral("resolve needs NAME (see --help)");
        command.target = operands.at(0);
        return command;
    }
    if (command.kind == Kind::Listen) {
        command.json = parser.isSet(json);
        bool ok = true;
        if (parser.isSet(count))
            command.count = parser.value(count).toInt(&ok);
        if (!ok || command.count < 0)
            return QStringLiteral("--count takes a whole number");
        const std::optional<double> seconds = parser.isSet(timeout) ? Seconds(parser.value(timeout)) : 0.0;
        if (!seconds)
            return QStringLiteral("--timeout takes a number of seconds");
        command.timeout = *seconds;
    } else {
        const std::optional<double> seconds = parser.isSet(watch) ? Seconds(parser.value(watch)) : 0.0;
        if (!seconds)
            return QStringLiteral("--watch takes a number of seconds");
        command.watch = *seconds;
    }
    if (!operands.isEmpty())
        return QStringLiteral("unknown argument %1 (see --help)").arg(operands.first());
    return command;
}

} // namespace parlino
