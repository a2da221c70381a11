#pragma once

#include "codec/BrowseFrames.h"
#include "codec/NetbiosDatagram.h"
#include "netenum/BrowseList.h"
#include "netenum/MasterBrowserClient.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/NetworkBrowser.h"
#include "platform/UdpNetwork.h"
#include "transport/ThisComputer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace parlino {

struct BrowseTiming
{
    int answerDelayMaxMs = 1000;
    int collectMs = 1200;
    // Enumerations closer together than this share one request and its answers.
    int requestIntervalMs = 10000;
};

// The browse list of the LAN, built the way Windows networks build theirs: it records the announcements
// heard on \MAILSLOT\BROWSE, announces this computer on a slowing schedule (and leaves with a last
// announcement of server type 0), answers announcement requests after a short random delay, and asks
// for announcements when an enumeration of the network starts, waiting a moment for the answers. Meanwhile it
// asks the workgroup's master browser for the computers and workgroups it knows, beyond this segment too; they
// join the list as if they had announced themselves at a browser's slowest pace.
class BrowseService final : public ListingBrowser
{
public:
    using Timing = BrowseTiming;
    static constexpr uint32_t kServerType = kServerTypeWorkstation | kServerTypeServer | kServerTypeNt;
    static inline const QString kProvider = QStringLiteral("Microsoft Windows Network");
    // The lists of a master browser of the workgroup (OEM bytes); nullopt when none gave them.
    using MasterLists = std::function<std::optional<MasterBrowserLists>(const std::string& workgroup)>;

    BrowseService(UdpNetwork& network, Clock& clock, const CodePage& codePage, const ThisComputer& names, uint16_t port,
                  std::string comment, Timing timing = Timing());
    ~BrowseService() override;
    BrowseService(const BrowseService&) = delete;
    BrowseService& operator=(const BrowseService&) = delete;

    // Listens and announces this computer; false when the datagram port can't be had.
    bool Start();
    // Announces the departure and stops; the list then reports no network.
    void Stop();
    void StopWaiting() override;
    // Where the enumeration gets a master browser's lists; empty: from the announcements alone. StopWaiting
    // calls stopAsking to end the asking under way.
    void SetMasterLists(MasterLists lists, std::function<void()> stopAsking = {});
    bool IsUnixServer(const QString& computer) override;

    BrowseList& Table() { return table_; }
    bool KnowsWorkgroup(const std::string& name);
    // Milliseconds from the n-th announcement (0 = the one at start) to the next.
    static uint32_t AnnouncementInterval(int sent);

protected:
    uint32_t List(const NetResource* start, std::vector<NetResource>* records) override;

private:
    void OnFrame(const uint8_t* data, size_t size);
    void Run();
    void Announce(uint32_t serverType, uint32_t periodicity);
    void Send(const NetbiosName& destination, const BrowseFrame& frame);
    void AwaitAnswers();
    void RecordListed(const MasterBrowserLists& lists);
    QString Text(const std::string& oem) const;

    UdpNetwork& network_;
    Clock& clock_;
    const CodePage& codePage_;
    const ThisComputer& names_;
    const uint16_t port_;
    const std::string comment_;
    const Timing timing_;
    BrowseList table_;

    const std::unique_ptr<Alarm> changed_;
    std::mutex mutex_;
    bool running_ = false;
    bool patient_ = true;
    int sent_ = 0;
    Clock::Time nextAnnouncement_;
    std::optional<Clock::Time> answerAt_;
    std::optional<Clock::Time> lastRequest_;
    MasterLists masterLists_;
    std::function<void()> stopAsking_;
    std::mt19937 random_;
    uint16_t nextDatagramId_;
    std::unique_ptr<UdpEndpoint> endpoint_;
    std::thread announcer_;
};

} // namespace parlino
