#include "netenum/BrowseList.h"

#include "codec/BrowseFrames.h"
#include "codec/MailslotPath.h"

#include <algorithm>

namespace parlino {
namespace {

bool Sensible(uint32_t periodicity)
{
    return periodicity >= BrowseList::kMinPeriodicity && periodicity <= BrowseList::kMaxPeriodicity;
}

} // namespace

BrowseList::Lease BrowseList::LeaseFor(uint32_t periodicity) const
{
    return {clock_.TickCount(), 3 * periodicity};
}

void BrowseList::Forget(uint32_t now)
{
    std::erase_if(hosts_, [&](const auto& entry) { return Expired(entry.second.lease, now); });
    std::erase_if(workgroups_, [&](const auto& entry) { return Expired(entry.second, now); });
}

bool BrowseList::RecordHost(const std::string& workgroup, const std::string& host, uint32_t serverType,
                            uint32_t periodicity, const std::string& comment)
{
    const auto key = std::make_pair(UpperAscii(workgroup), UpperAscii(host));
    std::lock_guard lock(mutex_);
    if (serverType == 0) {
        hosts_.erase(key);
        return true;
    }
    if (!Sensible(periodicity) || key.first.empty() || key.second.empty())
        return false;
    auto found = hosts_.find(key);
    if (found == hosts_.end()) {
        if (hosts_.size() >= kMaxHosts)
            Forget(clock_.TickCount());
        if (hosts_.size() >= kMaxHosts)
            return false;
        found = hosts_.emplace(key, Host{}).first;
    }
    found->second = {LeaseFor(periodicity), comment, serverType};
    return true;
}

bool BrowseList::RecordWorkgroup(const std::string& workgroup, uint32_t periodicity)
{
    const std::string key = UpperAscii(workgroup);
    std::lock_guard lock(mutex_);
    if (!Sensible(periodicity) || key.empty())
        return false;
    if (!workgroups_.contains(key) && workgroups_.size() >= kMaxWorkgroups) {
        Forget(clock_.TickCount());
        if (workgroups_.size() >= kMaxWorkgroups)
            return false;
    }
    workgroups_[key] = LeaseFor(periodicity);
    return true;
}

bool BrowseList::IsUnixServer(const std::string& host)
{
    const std::string name = UpperAscii(host);
    std::lock_guard lock(mutex_);
    Forget(clock_.TickCount());
    return std::any_of(hosts_.begin(), hosts_.end(), [&](const auto& entry) {
        return entry.first.second == name && (entry.second.serverType & kServerTypeServerUnix) != 0;
    });
}

std::vector<std::string> BrowseList::Workgroups()
{
    std::lock_guard lock(mutex_);
    Forget(clock_.TickCount());
    std::vector<std::string> names;
    for (const auto& [name, lease] : workgroups_)
        names.push_back(name);
    for (const auto& [key, host] : hosts_)
        if (names.empty() || names.back() != key.first)
            names.push_back(key.first);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<BrowseList::Computer> BrowseList::Computers(const std::string& workgroup)
{
    const std::string key = UpperAscii(workgroup);
    std::lock_guard lock(mutex_);
    Forget(clock_.TickCount());
    std::vector<Computer> computers;
    for (auto at = hosts_.lower_bound({key, std::string()}); at != hosts_.end() && at->first.first == key; ++at)
        computers.push_back({at->first.second, at->second.comment});
    return computers;
}

size_t BrowseList::HostCount()
{
    std::lock_guard lock(mutex_);
    return hosts_.size();
}

size_t BrowseList::WorkgroupCount()
{
    std::lock_guard lock(mutex_);
    return workgroups_.size();
}

} // namespace parlino
