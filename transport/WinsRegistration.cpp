#include "transport/WinsRegistration.h"

#include "platform/InterfaceAddress.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace parlino {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

constexpr uint16_t kAnyPort = 0;

std::string NameText(const NetbiosName& name)
{
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "<%02X>", static_cast<unsigned>(name.suffix));
    return name.name + suffix;
}

} // namespace

WinsRegistration::WinsRegistration(UdpNetwork& network, Clock& clock, uint16_t serverPort, LocalAddress localAddress,
                                   Refused refused, WinsTiming timing)
    : network_(network), clock_(clock), serverPort_(serverPort), localAddress_(std::move(localAddress)),
      refused_(std::move(refused)), timing_(timing), nextId_(static_cast<uint16_t>(std::random_device{}()))
{}

void WinsRegistration::Start(const std::vector<uint32_t>& servers, const std::vector<Name>& names)
{
    if (servers.empty() || names.empty() || thread_.joinable())
        return;
    endpoint_ = network_.Listen(kAnyPort, [this](const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t) {
        Receive(data, size, sourceIp);
    });
    if (!endpoint_)
        return;
    for (const uint32_t server : servers)
        for (const Name& name : names)
            entries_.push_back({server, name});
    alarm_ = clock_.NewAlarm();
    thread_ = std::thread([this] { Run(); });
}

void WinsRegistration::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (alarm_)
            alarm_->Wake();
    }
    answered_.notify_all();
    if (thread_.joinable())
        thread_.join();
    endpoint_.reset();
}

void WinsRegistration::Run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        Clock::Time next = Clock::Time::max();
        for (Entry& entry : entries_) {
            if (entry.phase != Phase::Done && entry.due <= clock_.Now()) {
                lock.unlock();
                Step(entry);
                lock.lock();
            }
            if (entry.phase != Phase::Done)
                next = std::min(next, entry.due);
        }
        alarm_->WaitUntil(lock, next, [this] { return stopping_; });
    }
    lock.unlock();
    ReleaseAll();
}

void WinsRegistration::Step(Entry& entry)
{
    const uint16_t id = nextId_++;
    if (entry.phase == Phase::Asking) {
        const Answer answer = Exchange(entry.server, EncodeNameServerQuery({id, entry.name.name}), id);
        if (!answer)
            return Retry(entry);
        const uint32_t own = localAddress_(entry.server);
        const bool held =
            answer->returnCode == NameServiceResponse::kPositive &&
            std::any_of(answer->records.begin(), answer->records.end(),
                        [own](const NameServiceResponse::Record& record) { return record.address == own; });
        entry.phase = held ? Phase::Done : Phase::Registering;
        entry.retry = {};
        entry.due = clock_.Now();
        return;
    }
    const NameOpcode opcode = entry.phase == Phase::Registered ? NameOpcode::Refresh : NameOpcode::Registration;
    const Answer answer = Exchange(entry.server, Request(entry, opcode, id), id);
    if (!answer)
        return Retry(entry);
    if (answer->returnCode != NameServiceResponse::kPositive) {
        entry.phase = Phase::Done;
        return Tell(entry, *answer);
    }
    // Refreshed halfway through the time the server grants, as Windows does; a server that grants next to nothing is
    // not asked again at once.
    const auto granted = answer->timeToLive > 0 ? std::chrono::seconds(answer->timeToLive) : timing_.timeToLive;
    entry.phase = Phase::Registered;
    entry.retry = {};
    entry.due = clock_.Now() + std::max<milliseconds>(granted / 2, timing_.firstRetry);
}

void WinsRegistration::Retry(Entry& entry)
{
    entry.retry =
        entry.retry == milliseconds::zero() ? timing_.firstRetry : std::min(entry.retry * 2, timing_.longestRetry);
    entry.due = clock_.Now() + entry.retry;
}

Bytes WinsRegistration::Request(const Entry& entry, NameOpcode opcode, uint16_t id) const
{
    const auto timeToLive = opcode == NameOpcode::Release ? 0u : static_cast<uint32_t>(timing_.timeToLive.count());
    return EncodeNameRegistrationRequest(
        {id, opcode, entry.name.name, entry.name.group, timeToLive, localAddress_(entry.server)});
}

WinsRegistration::Answer WinsRegistration::Exchange(uint32_t server, const Bytes& request, uint16_t id)
{
    std::unique_lock lock(mutex_);
    if (stopping_)
        return std::nullopt;
    awaited_[id] = {server, std::nullopt};
    lock.unlock();
    network_.SendTo(server, serverPort_, request, kAnyPort);
    lock.lock();
    auto deadline = SteadyClock::now() + timing_.answerTime;
    for (;;) {
        Answer& answer = awaited_[id].answer;
        answered_.wait_until(lock, deadline, [&] { return stopping_ || answer.has_value(); });
        if (stopping_ || !answer || !answer->waitForAcknowledgement) {
            Answer result = stopping_ ? std::nullopt : std::move(answer);
            awaited_.erase(id);
            return result;
        }
        // The server asks the name's present holder first; its real answer follows.
        deadline =
            SteadyClock::now() + std::min<milliseconds>(std::chrono::seconds(answer->timeToLive), timing_.longestHold);
        answer.reset();
    }
}

void WinsRegistration::ReleaseAll()
{
    std::unique_lock lock(mutex_);
    for (const Entry& entry : entries_) {
        if (entry.phase != Phase::Registered)
            continue;
        const uint16_t id = nextId_++;
        awaited_[id] = {entry.server, std::nullopt};
        lock.unlock();
        network_.SendTo(entry.server, serverPort_, Request(entry, NameOpcode::Release, id), kAnyPort);
        lock.lock();
    }
    answered_.wait_until(lock, SteadyClock::now() + timing_.releaseTime, [this] {
        return std::all_of(awaited_.begin(), awaited_.end(), [](const auto& entry) {
            return entry.second.answer.has_value() && !entry.second.answer->waitForAcknowledgement;
        });
    });
    awaited_.clear();
}

void WinsRegistration::Receive(const uint8_t* data, size_t size, uint32_t sourceIp)
{
    auto response = DecodeNameServiceResponse(data, size);
    if (!response)
        return;
    std::lock_guard lock(mutex_);
    const auto awaited = awaited_.find(response->transactionId);
    if (awaited == awaited_.end() || awaited->second.server != sourceIp)
        return;
    awaited->second.answer = std::move(response);
    answered_.notify_all();
}

QString RefusalText(const NameRefusal& refusal, const std::function<QString(const char* text)>& words)
{
    QString why = words(QT_TRANSLATE_NOOP("parlino::WinsRegistration", "error %1")).arg(refusal.returnCode);
    if (refusal.returnCode == NameServiceResponse::kActive)
        why = words(QT_TRANSLATE_NOOP("parlino::WinsRegistration", "another computer holds it"));
    else if (refusal.returnCode == NameServiceResponse::kRefused)
        why = words(QT_TRANSLATE_NOOP("parlino::WinsRegistration", "the server keeps it for itself or others"));
    return words(QT_TRANSLATE_NOOP("parlino::WinsRegistration", "the WINS server %1 refused the name %2: %3"))
        .arg(QString::fromStdString(DottedIpv4(refusal.server)), QString::fromStdString(NameText(refusal.name)), why);
}

void WinsRegistration::Tell(const Entry& entry, const NameServiceResponse& refusal)
{
    if (refused_)
        refused_({entry.server, entry.name.name, refusal.returnCode});
}

} // namespace parlino
