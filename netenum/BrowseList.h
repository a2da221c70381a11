#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace parlino {

// The workgroups and computers that announced themselves, each forgotten after three times the
// periodicity it announced. Names are OEM bytes, kept in upper case. The table is bounded: an
// announcement that finds it full is dropped (after the forgotten entries have made room), so a
// flood of invented hosts can't grow it past kMaxHosts computers and kMaxWorkgroups workgroups.
class BrowseList
{
public:
    static constexpr size_t kMaxHosts = 4096;
    static constexpr size_t kMaxWorkgroups = 512;
    // Shorter or longer periodicities are not what a browser sends; such announcements are dropped.
    static constexpr uint32_t kMinPeriodicity = 1000;
    static constexpr uint32_t kMaxPeriodicity = 60 * 60 * 1000;

    struct Computer
    {
        std::string name;
        std::string comment;
    };

    explicit BrowseList(Clock& clock) : clock_(clock) {}

    // A server type of 0 is a computer's last word: it leaves at once. False when the entry was dropped.
    bool RecordHost(const std::string& workgroup, const std::string& host, uint32_t serverType, uint32_t periodicity,
                    const std::string& comment);
    bool RecordWorkgroup(const std::string& workgroup, uint32_t periodicity);

    // Whether a computer of any workgroup announced itself as a Samba server (the Unix server type).
    bool IsUnixServer(const std::string& host);
    // The workgroups announced or holding a computer, sorted.
    std::vector<std::string> Workgroups();
    std::vector<Computer> Computers(const std::string& workgroup);
    size_t HostCount();
    size_t WorkgroupCount();

private:
    struct Lease
    {
        uint32_t since = 0;
        uint32_t lifetime = 0;
    };
    struct Host
    {
        Lease lease;
        std::string comment;
        uint32_t serverType = 0;
    };
    bool Expired(const Lease& lease, uint32_t now) const { return now - lease.since >= lease.lifetime; }
    Lease LeaseFor(uint32_t periodicity) const;
    void Forget(uint32_t now);

    Clock& clock_;
    std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, Host> hosts_; // by workgroup, name
    std::map<std::string, Lease> workgroups_;
};

} // namespace parlino
