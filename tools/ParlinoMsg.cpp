// parlino-msg: a command-line station on the same transport as Parlino.
#include "codec/MailslotPath.h"
#include "codec/SmbMailslot.h"
#include "codec/SmbMessage.h"
#include "codec/WinPopupDatagram.h"
#include "netenum/NetworkWalk.h"
#include "netenum/SystemBrowser.h"
#include "platform/InterfaceAddress.h"
#include "platform/TerminationSignals.h"
#include "tools/MsgCommandLine.h"
#include "transport/MailSlot.h"
#include "transport/SmbMessageSender.h"
#include "transport/StationSender.h"
#include "transport/SystemMessenger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

using namespace parlino;

constexpr int kBadArguments = 64;

int Fail(const QString& message, int code)
{
    QTextStream(stderr) << "parlino-msg: " << message << Qt::endl;
    return code;
}

// The chat window's way: a datagram, or for a computer beyond a router the SMB route first.
int Send(SystemMessenger& messenger, const MsgCommand& command)
{
    TWinPopup popup(nullptr, messenger.Mailslots(), messenger.TickClock(), messenger.OemCodePage());
    const QString from = command.from.isEmpty() ? messenger.Identity().netbiosName : command.from;
    std::optional<bool> delivered;
    {
        StationSender stations(popup, messenger.StationRoute({}));
        QObject receiver;
        stations.Send(command.target, from, command.text, &receiver, [&delivered](bool took) {
            delivered = took;
            QCoreApplication::quit();
        });
        // The worker tells the outcome through the event loop.
        if (!delivered)
            QCoreApplication::exec();
    }
    if (!delivered.value_or(false))
        return Fail(QStringLiteral("could not send to %1").arg(command.target), 1);
    return 0;
}

int Resolve(SystemMessenger& messenger, const MsgCommand& command)
{
    const std::string name = UpperAscii(messenger.OemCodePage().ToOemBytes(command.target));
    if (name.size() > kNetbiosNameLength)
        return Fail(QStringLiteral("%1 is longer than a computer name can be").arg(command.target), 1);
    const SmbMessageSender& sender = messenger.SmbSender();
    const auto where = sender.Names().Resolve(name, std::chrono::steady_clock::now() + sender.LineTime());
    if (!where)
        return Fail(QStringLiteral("no computer %1 answers on the network").arg(command.target.toUpper()), 1);
    QTextStream(stdout) << QString::fromStdString(DottedIpv4(where->address)) << ' ' << SourceName(where->source)
                        << Qt::endl;
    return 0;
}

int SendBySmb(SystemMessenger& messenger, const MsgCommand& command)
{
    const QString from = command.from.isEmpty() ? messenger.Identity().netbiosName : command.from;
    const QString error = messenger.SmbSender().SendLine(messenger.OemCodePage(), messenger.Names().name,
                                                         command.target, from, command.text);
    return error.isEmpty() ? 0 : Fail(error, 1);
}

// smbd's message command: the text it received, written in the Unix character set, goes to this computer's
// Parlino as if it had come by the network.
int Deliver(SystemMessenger& messenger, const MsgCommand& command)
{
    QFile file(command.file);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1").arg(command.file), 1);
    const CodePage& oem = messenger.OemCodePage();
    const std::string& computer = messenger.Names().name;
    const Bytes message = BuildWinPopupDatagram(oem.ToOemBytes(command.from), computer,
                                                WithCrLf(oem.ToOemBytes(QString::fromUtf8(file.readAll()))));
    file.close();
    switch (MailslotDoor::Deliver(computer, kMessengerMailslot, message)) {
    case MailslotDoor::Knock::Delivered:
        // The message is in; failing now would have it sent again.
        if (!file.remove())
            Fail(QStringLiteral("delivered, but cannot delete %1: %2").arg(command.file, file.errorString()), 0);
        return 0;
    case MailslotDoor::Knock::TooLong:
        return Fail(QStringLiteral("the message in %1 is too long: %2 bytes, at most %3")
                        .arg(command.file)
                        .arg(message.size())
                        .arg(kMaxMailslotData),
                    1);
    case MailslotDoor::Knock::Refused:
        return Fail(QStringLiteral("the Parlino of %1 does not take messages now").arg(oem.FromOemBytes(computer)), 1);
    case MailslotDoor::Knock::NobodyHome:
        break;
    }
    return Fail(QStringLiteral("no Parlino of %1 runs on this host").arg(oem.FromOemBytes(computer)), 1);
}

int Listen(QCoreApplication& app, SystemMessenger& messenger, const MsgCommand& command)
{
    TWinPopup popup(nullptr, messenger.Mailslots(), messenger.TickClock(), messenger.OemCodePage());
    int received = 0;
    QTextStream out(stdout);
    popup.OnMessage = [&](QObject*, const QString& to, const QString& from, const QString& text) {
        if (command.json)
            out << QJsonDocument(QJsonObject{{QStringLiteral("from"), from},
                                             {QStringLiteral("to"), to},
                                             {QStringLiteral("text"), text}})
                       .toJson(QJsonDocument::Compact);
        else
            out << from << " -> " << to << ": " << text;
        out << Qt::endl;
        if (command.count > 0 && ++received >= command.count)
            QCoreApplication::quit();
    };
    try {
        popup.SetActive(true);
    } catch (const EMailSlot& error) {
        return Fail(error.Message(), 2);
    }
    if (command.timeout > 0)
        QTimer::singleShot(static_cast<int>(command.timeout * 1000), &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    popup.Close();
    return 0;
}

// The workgroups and their computers, as the station tree lists them.
QString BrowseText(TNetUsers& users)
{
    QString text;
    WalkNetwork(users, [&text](NetworkNode node, const QString& name) {
        text += (node == NetworkNode::Computer ? QStringLiteral("  ") : QString()) + name + QLatin1Char('\n');
    });
    return text;
}

int Browse(QCoreApplication& app, SystemMessenger& messenger, const MsgCommand& command)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    SystemBrowser browser(messenger);
    if (!browser.Running())
        return Fail(QStringLiteral("cannot listen on the datagram port"), 2);
    const IdentityComputerName computerName(messenger.Identity());
    TNetUsers users(nullptr, browser.Service(), computerName);
    QTextStream out(stdout);
    QString shown = BrowseText(users);
    out << shown << Qt::flush;
    if (command.watch <= 0)
        return 0;

    constexpr int kPollMs = 100;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QString now = BrowseText(users);
        if (now != shown)
            out << '\n' << (shown = now) << Qt::flush;
    });
    poll.start(kPollMs);
    // The watch counts from the start, so the first listing's wait for answers is part of it.
    const qint64 left = static_cast<qint64>(command.watch * 1000) - sinceStart.elapsed();
    QTimer::singleShot(static_cast<int>(std::max<qint64>(left, 0)), &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::variant<MsgCommand, QString> parsed = ParseMsgCommandLine(QCoreApplication::arguments().mid(1));
    if (const QString* refusal = std::get_if<QString>(&parsed))
        return Fail(*refusal, kBadArguments);
    const MsgCommand& command = *std::get_if<MsgCommand>(&parsed);
    if (command.kind == MsgCommand::Kind::Help || command.kind == MsgCommand::Kind::Usage) {
        const bool asked = command.kind == MsgCommand::Kind::Help;
        std::fputs(kMsgUsage, asked ? stdout : stderr);
        return asked ? 0 : kBadArguments;
    }
    // Only a listener receives what comes by the SMB route.
    const bool listening = command.kind == MsgCommand::Kind::Listen;
    // A listener or a watch leaves through its close path; any other command ends at once, killed by the signal.
    if (listening || command.kind == MsgCommand::Kind::Browse)
        OnTerminationSignal([] { QCoreApplication::quit(); });
    else
        EndOnTerminationSignal();
    SystemMessenger messenger(SystemNetworkIdentity(),
                              listening ? SystemMessenger::SmbReceiving::On : SystemMessenger::SmbReceiving::Off);
    switch (command.kind) {
    case MsgCommand::Kind::Send:
        return command.smb ? SendBySmb(messenger, command) : Send(messenger, command);
    case MsgCommand::Kind::Listen:
        return Listen(app, messenger, command);
    case MsgCommand::Kind::Deliver:
        return Deliver(messenger, command);
    case MsgCommand::Kind::Resolve:
        return Resolve(messenger, command);
    default:
        return Browse(app, messenger, command);
    }
}
