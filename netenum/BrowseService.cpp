#include "netenum/BrowseService.h"

#include "codec/MailslotPath.h"
#include "codec/SmbMailslot.h"

namespace parlino {
namespace {

using std::chrono::milliseconds;

const std::string kBrowseMailslot = "\\MAILSLOT\\BROWSE";
const std::string kMsBrowse = "\x01\x02__MSBROWSE__\x02";
constexpr uint32_t kMinute = 60 * 1000;
constexpr uint32_t kSteadyInterval = 12 * kMinute;

} // namespace

BrowseService::BrowseService(UdpNetwork& network, Clock& clock, const CodePage& codePage, const ThisComputer& names,
                             uint16_t port, std::string comment, Timing timing)
    : network_(network), clock_(clock), codePage_(codePage), names_(names), port_(port), comment_(std::move(comment)),
      timing_(timing), table_(clock), changed_(clock.NewAlarm()), random_(std::random_device{}()),
      nextDatagramId_(static_cast<uint16_t>(random_()))
{}

BrowseService::~BrowseService()
{
    Stop();
}

uint32_t BrowseService::AnnouncementInterval(int sent)
{
    constexpr uint32_t kSlowing[] = {1 * kMinute, 2 * kMinute, 4 * kMinute, 8 * kMinute};
    return sent < 4 ? kSlowing[sent] : kSteadyInterval;
}

bool BrowseService::Start()
{
    {
        std::lock_guard lock(mutex_);
        if (running_)
            return true;
    }
    auto endpoint =
        network_.Listen(port_, [this](const uint8_t* data, size_t size, uint32_t, uint16_t) { OnFrame(data, size); });
    if (!endpoint)
        return false;
    {
        std::lock_guard lock(mutex_);
        endpoint_ = std::move(endpoint);
        running_ = true;
        sent_ = 1;
        nextAnnouncement_ = clock_.Now() + milliseconds(AnnouncementInterval(0));
    }
    // The first announcement goes out before Start returns, so the station is known from then on.
    Announce(kServerType, AnnouncementInterval(0));
    announcer_ = std::thread([this] { Run(); });
    return true;
}

void BrowseService::Stop()
{
    uint32_t periodicity = 0;
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        running_ = false;
        periodicity = AnnouncementInterval(sent_);
    }
    changed_->Wake();
    announcer_.join();
    Announce(0, periodicity);
    std::unique_ptr<UdpEndpoint> endpoint;
    {
        std::lock_guard lock(mutex_);
        endpoint = std::move(endpoint_);
    }
}

void BrowseService::Run()
{
    std::unique_lock lock(mutex_);
    const auto due = [this] { return answerAt_ ? std::min(*answerAt_, nextAnnouncement_) : nextAnnouncement_; };
    while (running_) {
        const Clock::Time until = due();
        // A request that arrives meanwhile moves the time due, which ends this wait early.
        changed_->WaitUntil(lock, until, [&] { return !running_ || due() != until; });
        const Clock::Time now = clock_.Now();
        if (!running_ || now < due())
            continue;
        const uint32_t periodicity = AnnouncementInterval(sent_);
        if (now >= nextAnnouncement_) {
            nextAnnouncement_ = now + milliseconds(periodicity);
            ++sent_;
        }
        answerAt_.reset();
        lock.unlock();
        Announce(kServerType, periodicity);
        lock.lock();
    }
}

void BrowseService::Announce(uint32_t serverType, uint32_t periodicity)
{
    BrowseFrame frame;
    frame.opcode = BrowseOpcode::HostAnnouncement;
    frame.periodicity = periodicity;
    frame.name = names_.name;
    frame.serverType = serverType;
    frame.comment = comment_;
    table_.RecordHost(names_.workgroup, names_.name, serverType, periodicity, comment_);
    Send({names_.workgroup, kMasterBrowserSuffix}, frame);
}

void BrowseService::Send(const NetbiosName& destination, const BrowseFrame& frame)
{
    const std::vector<uint8_t> payload = EncodeBrowseFrame(frame);
    NetbiosDatagram datagram;
    datagram.type = DatagramType::DirectGroup;
    {
        std::lock_guard lock(mutex_);
        datagram.id = nextDatagramId_++;
    }
    datagram.sourcePort = port_;
    datagram.source = {names_.name, kWorkstationSuffix};
    datagram.destination = destination;
    datagram.userData = EncodeMailslotWrite(kBrowseMailslot, payload.data(), payload.size());
    network_.Broadcast(port_, [&datagram](uint32_t localAddress) {
        datagram.sourceAddress = localAddress;
        return EncodeDatagram(datagram);
    });
}

void BrowseService::OnFrame(const uint8_t* data, size_t size)
{
    const auto datagram = DecodeDatagram(data, size);
    if (!datagram)
        return;
    const std::string group = ComparableNetbiosName(datagram->destination.name);
    const uint8_t suffix = datagram->destination.suffix;
    const bool toMsBrowse = group == kMsBrowse && suffix == kMsBrowseSuffix;
    const bool toOwnGroup = group == names_.workgroup && suffix == kWorkstationSuffix;
    const bool toBrowsers = suffix == kMasterBrowserSuffix || suffix == kBrowserElectionSuffix;
    if (!toMsBrowse && !toOwnGroup && !toBrowsers)
        return;
    const auto write = DecodeMailslotWrite(datagram->userData.data(), datagram->userData.size());
    if (!write || UpperAscii(write->mailslot) != kBrowseMailslot)
        return;
    const auto frame = DecodeBrowseFrame(write->data.data(), write->data.size());
    if (!frame)
        return;
    switch (frame->opcode) {
    case BrowseOpcode::HostAnnouncement:
    case BrowseOpcode::LocalMasterAnnouncement:
        if (!toMsBrowse)
            table_.RecordHost(group, frame->name, frame->serverType, frame->periodicity, frame->comment);
        break;
    case BrowseOpcode::DomainAnnouncement:
        table_.RecordWorkgroup(frame->name, frame->periodicity);
        break;
    case BrowseOpcode::AnnouncementRequest:
        if ((toOwnGroup || toMsBrowse) && ComparableNetbiosName(datagram->source.name) != names_.name) {
            std::lock_guard lock(mutex_);
            // Answers are spread over a moment so that a whole workgroup does not answer at once.
            const Clock::Time at =
                clock_.Now() + milliseconds(random_() % static_cast<uint32_t>(timing_.answerDelayMaxMs + 1));
            if (!answerAt_ || at < *answerAt_)
                answerAt_ = at;
            changed_->Wake();
        }
        break;
    }
}

void BrowseService::AwaitAnswers()
{
    bool ask = false;
    Clock::Time collected;
    {
        std::lock_guard lock(mutex_);
        const Clock::Time now = clock_.Now();
        if (!lastRequest_ || now - *lastRequest_ >= milliseconds(timing_.requestIntervalMs)) {
            lastRequest_ = now;
            ask = true;
        }
        collected = *lastRequest_ + milliseconds(timing_.collectMs);
    }
    if (ask) {
        BrowseFrame request;
        request.opcode = BrowseOpcode::AnnouncementRequest;
        request.comment = names_.name;
        Send({names_.workgroup, kWorkstationSuffix}, request);
        // Members of other workgroups answer a request to all browsers; Windows peers show up by their own timers.
        Send({kMsBrowse, kMsBrowseSuffix}, request);
        // The master browser is asked while the answers come in.
        MasterLists masterLists;
        {
            std::lock_guard lock(mutex_);
            masterLists = masterLists_;
        }
        if (masterLists)
            if (const auto lists = masterLists(names_.workgroup))
                RecordListed(*lists);
    }
    std::unique_lock lock(mutex_);
    changed_->WaitUntil(lock, collected, [&] { return !running_ || !patient_; });
}

void BrowseService::RecordListed(const MasterBrowserLists& lists)
{
    for (const ServerInfo& server : lists.servers)
        // A type of 0 would say the computer has left, which is for the computer itself to say.
        if (server.serverType != 0)
            table_.RecordHost(names_.workgroup, server.name, server.serverType, kSteadyInterval, server.comment);
    for (const ServerInfo& workgroup : lists.workgroups)
        table_.RecordWorkgroup(workgroup.name, kSteadyInterval);
}

void BrowseService::SetMasterLists(MasterLists lists, std::function<void()> stopAsking)
{
    std::lock_guard lock(mutex_);
    masterLists_ = std::move(lists);
    stopAsking_ = std::move(stopAsking);
}

void BrowseService::StopWaiting()
{
    std::function<void()> stopAsking;
    {
        std::lock_guard lock(mutex_);
        patient_ = false;
        stopAsking = stopAsking_;
    }
    changed_->Wake();
    if (stopAsking)
        stopAsking();
}

bool BrowseService::KnowsWorkgroup(const std::string& name)
{
    const std::string wanted = UpperAscii(name);
    for (const std::string& workgroup : table_.Workgroups())
        if (workgroup == wanted)
            return true;
    return false;
}

bool BrowseService::IsUnixServer(const QString& computer)
{
    return table_.IsUnixServer(codePage_.ToOemBytes(computer));
}

QString BrowseService::Text(const std::string& oem) const
{
    return codePage_.FromOemBytes(oem);
}

uint32_t BrowseService::List(const NetResource* start, std::vector<NetResource>* records)
{
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return NetEnum::ERROR_NO_NETWORK;
    }
    if (!start) {
        AwaitAnswers();
        records->push_back(NetEnum::ProviderRecord(kProvider));
        return NetEnum::NO_ERROR;
    }
    if (start->remoteName.compare(kProvider, Qt::CaseInsensitive) == 0) {
        for (const std::string& workgroup : table_.Workgroups())
            records->push_back(NetEnum::WorkgroupRecord(kProvider, Text(workgroup)));
        return NetEnum::NO_ERROR;
    }
    const QByteArray workgroup = codePage_.ToOem(start->remoteName);
    if (workgroup.isEmpty() || static_cast<size_t>(workgroup.size()) > kMaxBrowseName)
        return NetEnum::ERROR_BAD_NET_NAME;
    for (const auto& computer : table_.Computers(workgroup.toStdString()))
        records->push_back(NetEnum::ComputerRecord(kProvider, Text(computer.name), Text(computer.comment)));
    return NetEnum::NO_ERROR;
}

} // namespace parlino
