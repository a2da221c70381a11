// parlino-msg: a command-line station on the same transport as Parlino.
#include "netenum/NetUsers.h"
#include "netenum/SystemBrowser.h"
#include "platform/TerminationSignals.h"
#include "transport/MailSlot.h"
#include "transport/SystemMessenger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

using namespace parlino;

const char* const kUsage = R"(Usage:
  parlino-msg send TARGET TEXT [--from NAME]
      Sends one messenger datagram to TARGET (a computer, a workgroup, or * for this
      computer's workgroup) with the sender field NAME (default: this computer's name)
      and the receiver field TARGET. Exits 0 when the datagram was sent, else 1.
  parlino-msg listen [--json] [--count N] [--timeout SECONDS]
      Opens the mailslot "messngr" and prints each message as "SENDER -> RECEIVER: TEXT",
      or with --json as one object per line with the keys "from", "to" and "text".
      Stops after N messages or SECONDS seconds. Exits 2 when the mailslot can't be opened.
  parlino-msg browse [--watch SECONDS]
      Announces this computer, asks the LAN for announcements, and prints each workgroup
      followed by its computers, indented by two blanks, as the station tree shows them.
      With --watch it stays on the LAN for SECONDS seconds and prints the list again, after
      an empty line, whenever it changes. Exits 2 when the datagram port can't be had.

Environment:
  PARLINO_NETBIOS_NAME  this computer's NetBIOS name (default: smb.conf, else the host name)
  PARLINO_WORKGROUP     this computer's workgroup (default: smb.conf, else WORKGROUP)
  PARLINO_DOS_CHARSET   the code page on the wire (default: smb.conf, else CP850)
  PARLINO_INTERFACES    interfaces to use, comma-separated; nothing from or to other networks; "lo"
                        keeps to loopback
  PARLINO_NBT_PORT      the datagram port (default 138, which needs cap_net_bind_service)
)";

int Fail(const QString& message, int code)
{
    QTextStream(stderr) << "parlino-msg: " << message << Qt::endl;
    return code;
}

// Takes "--name VALUE" out of the arguments: nullopt when absent, empty when the value is missing.
std::optional<QString> TakeOption(QStringList& args, const QString& name)
{
    const auto at = args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    const QString value = at + 1 < args.size() ? args.at(at + 1) : QString();
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    return value;
}

// "--name SECONDS": 0 when absent; nullopt unless a number of seconds a timer can count.
std::optional<double> TakeSeconds(QStringList& args, const QString& name)
{
    const std::optional<QString> text = TakeOption(args, name);
    if (!text)
        return 0.0;
    bool ok = false;
    const double seconds = text->toDouble(&ok);
    constexpr double kLongest = std::numeric_limits<int>::max() / 1000.0;
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kLongest)
        return std::nullopt;
    return seconds;
}

int Send(SystemMessenger& messenger, QStringList args)
{
    const std::optional<QString> from = TakeOption(args, QStringLiteral("--from"));
    if (from && from->isEmpty())
        return Fail(QStringLiteral("--from needs a name"), 64);
    if (args.size() != 2)
        return Fail(QStringLiteral("send needs TARGET and TEXT (see --help)"), 64);
    TWinPopup popup(nullptr, messenger.Mailslots(), messenger.TickClock(), messenger.OemCodePage());
    const QString& target = args.at(0);
    if (!popup.Send(target, from.value_or(messenger.Identity().netbiosName), target, args.at(1)))
        return Fail(QStringLiteral("could not send to %1").arg(target), 1);
    return 0;
}

int Listen(QCoreApplication& app, SystemMessenger& messenger, QStringList args)
{
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    bool ok = true;
    const std::optional<QString> countText = TakeOption(args, QStringLiteral("--count"));
    const int count = countText ? countText->toInt(&ok) : 0;
    if (!ok || count < 0)
        return Fail(QStringLiteral("--count takes a whole number"), 64);
    const std::optional<double> timeout = TakeSeconds(args, QStringLiteral("--timeout"));
    if (!timeout)
        return Fail(QStringLiteral("--timeout takes a number of seconds"), 64);
    if (!args.isEmpty())
        return Fail(QStringLiteral("unknown argument %1 (see --help)").arg(args.first()), 64);

    TWinPopup popup(nullptr, messenger.Mailslots(), messenger.TickClock(), messenger.OemCodePage());
    int received = 0;
    QTextStream out(stdout);
    popup.OnMessage = [&](QObject*, const QString& to, const QString& from, const QString& text) {
        if (json)
            out << QJsonDocument(QJsonObject{{QStringLiteral("from"), from},
                                             {QStringLiteral("to"), to},
                                             {QStringLiteral("text"), text}})
                       .toJson(QJsonDocument::Compact);
        else
            out << from << " -> " << to << ": " << text;
        out << Qt::endl;
        if (count > 0 && ++received >= count)
            app.quit();
    };
    try {
        popup.SetActive(true);
    } catch (const EMailSlot& error) {
        return Fail(error.Message(), 2);
    }
    if (*timeout > 0)
        QTimer::singleShot(static_cast<int>(*timeout * 1000), &app, &QCoreApplication::quit);
    app.exec();
    popup.Close();
    TMailSlotWaitThread::WaitForAllToEnd();
    return 0;
}

// The workgroups and their computers, as the station tree lists them.
QString BrowseText(TNetUsers& users)
{
    QString text;
    users.SetServer({});
    users.EnumDomains();
    const QStringList workgroups = users.Items().Names();
    for (const QString& workgroup : workgroups) {
        text += workgroup + '\n';
        users.SetServer(workgroup);
        users.Refresh();
        for (const QString& computer : users.Items().Names())
            text += "  " + computer + '\n';
    }
    return text;
}

int Browse(QCoreApplication& app, SystemMessenger& messenger, QStringList args)
{
    const std::optional<double> watch = TakeSeconds(args, QStringLiteral("--watch"));
    if (!watch)
        return Fail(QStringLiteral("--watch takes a number of seconds"), 64);
    if (!args.isEmpty())
        return Fail(QStringLiteral("unknown argument %1 (see --help)").arg(args.first()), 64);

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
    if (*watch <= 0)
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
    const qint64 left = static_cast<qint64>(*watch * 1000) - sinceStart.elapsed();
    QTimer::singleShot(static_cast<int>(std::max<qint64>(left, 0)), &app, &QCoreApplication::quit);
    app.exec();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 64 : 0;
    }
    const QString command = args.takeFirst();
    OnTerminationSignal([&app] { app.quit(); });
    SystemMessenger messenger;
    if (command == QStringLiteral("send"))
        return Send(messenger, args);
    if (command == QStringLiteral("listen"))
        return Listen(app, messenger, args);
    if (command == QStringLiteral("browse"))
        return Browse(app, messenger, args);
    return Fail(QStringLiteral("unknown command %1 (see --help)").arg(command), 64);
}
