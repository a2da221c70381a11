#pragma once

#include "platform/CodePage.h"
#include "transport/MailSlot.h"
#include "transport/SmbMessageSender.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace parlino {

// Delivers lines to stations. A computer the browse list knows as a Samba server, and one that lies beyond a
// router, is tried by the SMB route first, on a worker thread, and gets the mailslot datagram only when that
// route fails (straight to its address when beyond a router, which no broadcast passes); every other station
// and every group gets the datagram alone, at once. With WINS servers, a computer whose whereabouts are not
// known yet is looked up on the worker before its line goes either way. Lines for the worker go one at a time,
// in the order given, each within the sender's time for a line. Main thread only.
class StationSender final
{
public:
    struct SmbRoute
    {
        // Used by the worker alone: a line left under way at the end keeps its copy of the sender.
        SmbMessageSender sender;
        const CodePage& codePage;
        // This computer's NetBIOS name in the OEM code page, which the session is asked for from.
        std::string callingName;
        // Asked on the main thread.
        std::function<bool(const QString& station)> isSambaServer;
        // Whether a station is a workgroup or domain, which is never looked up; asked on the main thread.
        std::function<bool(const QString& station)> isGroup = {};
    };
    using Outcome = std::function<void(bool delivered)>;

    // Without an SMB route every line goes as a datagram.
    explicit StationSender(TCustomWinPopup& datagrams, std::optional<SmbRoute> smb = std::nullopt);
    // Lets the line under way on the SMB route go on for one answer's time at most, then leaves it to end on its
    // own, untold; drops those behind it. The sender's codePage must stay until the sender is stopped.
    ~StationSender();
    StationSender(const StationSender&) = delete;
    StationSender& operator=(const StationSender&) = delete;

    // Tells outcome on the main thread whether the line left by either route: before returning when it went as
    // a datagram alone, later when the SMB route was tried; never once receiver is gone.
    void Send(const QString& station, const QString& from, const QString& text, QObject* receiver, Outcome outcome);

private:
    struct Line
    {
        // Whether the line waits for a look-up of the station, rather than for the SMB route alone.
        bool lookup;
        // The station's name as the network knows it.
        std::string target;
        QString station;
        QString from;
        QString text;
        QPointer<QObject> receiver;
        Outcome outcome;
    };
    struct Queue;
    class Worker;

    enum class Path { Datagram, SmbFirst, Lookup };
    Path PathOf(const QString& station, const std::string& target) const;
    // On the main thread, after the worker had the line.
    void Finish(const Line& line, bool tookSmb);

    TCustomWinPopup& datagrams_;
    std::function<bool(const QString& station)> isSambaServer_;
    std::function<bool(const QString& station)> isGroup_;
    std::optional<NameResolver> names_;
    const CodePage* codePage_ = nullptr;
    // Lines given to the worker and not finished: until they are, later lines follow them there, in order.
    int pending_ = 0;
    std::chrono::milliseconds leaveAfter_{};
    // Shared with the worker, which outlives this object when its line is left under way; null without the route.
    std::shared_ptr<Queue> queue_;
};

} // namespace parlino
