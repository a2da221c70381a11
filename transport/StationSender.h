#pragma once

#include "platform/CodePage.h"
#include "transport/MailSlot.h"
#include "transport/SmbMessageSender.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace parlino {

// Delivers lines to stations. A computer the browse list knows as a Samba server is tried by the SMB route
// first, on a worker thread, and gets the mailslot datagram only when that route fails; every other station
// and every group gets the datagram alone, at once. Lines for the SMB route go one at a time, in the order given.
// Main thread only.
class StationSender final
{
public:
    struct SmbRoute
    {
        // Used by the worker alone.
        SmbMessageSender& sender;
        const CodePage& codePage;
        // This computer's NetBIOS name in the OEM code page, which the session is asked for from.
        std::string callingName;
        // Asked on the main thread.
        std::function<bool(const QString& station)> isSambaServer;
    };
    using Outcome = std::function<void(bool delivered)>;

    // Without an SMB route every line goes as a datagram.
    explicit StationSender(TCustomWinPopup& datagrams, std::optional<SmbRoute> smb = std::nullopt);
    // Lets the line under way on the SMB route finish (a few time-outs at most) and drops those behind it.
    ~StationSender();
    StationSender(const StationSender&) = delete;
    StationSender& operator=(const StationSender&) = delete;

    // Tells outcome on the main thread whether the line left by either route: before returning when it went as
    // a datagram alone, later when the SMB route was tried; never once receiver is gone.
    void Send(const QString& station, const QString& from, const QString& text, QObject* receiver, Outcome outcome);

private:
    struct Line
    {
        QString station;
        QString from;
        QString text;
        QPointer<QObject> receiver;
        Outcome outcome;
    };
    class Worker;

    // On the worker: true when the station took the line by the SMB route.
    bool SendBySmb(const Line& line) const;
    // On the main thread, after the SMB route was tried.
    void Finish(const Line& line, bool tookSmb);

    TCustomWinPopup& datagrams_;
    const std::optional<SmbRoute> smb_;
    std::unique_ptr<Worker> worker_;
};

} // namespace parlino
