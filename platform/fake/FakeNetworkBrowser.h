#pragma once

#include "platform/NetworkBrowser.h"

#include <QStringList>

#include <functional>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace parlino::fake {

// A browse list set up by hand, with failures on demand and a record of the listings opened.
// Listings are named by the remote name of their start record; the root is "".
class FakeNetworkBrowser final : public ListingBrowser
{
public:
    void AddProvider(const QString& provider);
    void AddWorkgroup(const QString& provider, const QString& workgroup);
    // The remote name as the listing gives it, normally "\\NAME".
    void AddComputerRecord(const QString& workgroup, const QString& remoteName);
    void AddComputer(const QString& workgroup, const QString& name)
    {
        AddComputerRecord(workgroup, QStringLiteral("\\\\") + name);
    }
    // One provider holding these workgroups with their computers, in this order.
    void AddNetwork(const QString& provider, const std::vector<std::pair<QString, QStringList>>& workgroups)
    {
        AddProvider(provider);
        for (const auto& [workgroup, computers] : workgroups) {
            AddWorkgroup(provider, workgroup);
            for (const QString& computer : computers)
                AddComputer(workgroup, computer);
        }
    }

    void FailOpen(const QString& listing, uint32_t error);
    // The read with this index (0 = first) of the listing answers error.
    void FailRead(const QString& listing, int readIndex, uint32_t error);
    void FailClose(const QString& listing, uint32_t error);
    // Called on the caller's thread whenever a listing is opened, before it is taken.
    void SetOnOpen(std::function<void(const QString& listing)> onOpen);

    QStringList Opened() const;
    int OpenHandles() const;

    uint32_t WNetEnumResource(Handle handle, uint32_t* count, std::vector<NetResource>* entries,
                              uint32_t bufferSize) override;
    uint32_t WNetCloseEnum(Handle handle) override;

protected:
    uint32_t List(const NetResource* start, std::vector<NetResource>* records) override;

private:
    mutable std::mutex mutex_;
    QStringList providers_;
    std::map<QString, QStringList> workgroups_;             // by provider
    std::map<QString, std::vector<NetResource>> computers_; // by workgroup in upper case
    std::map<QString, uint32_t> openFailures_;
    std::map<std::pair<QString, int>, uint32_t> readFailures_;
    std::map<QString, uint32_t> closeFailures_;
    std::map<Handle, int> reads_;
    std::function<void(const QString&)> onOpen_;
    QStringList opened_;
    int openHandles_ = 0;
};

} // namespace parlino::fake
