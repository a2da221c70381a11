#include "platform/fake/FakeNetworkBrowser.h"

namespace parlino::fake {

void FakeNetworkBrowser::AddProvider(const QString& provider)
{
    std::lock_guard lock(mutex_);
    providers_.append(provider);
}

void FakeNetworkBrowser::AddWorkgroup(const QString& provider, const QString& workgroup)
{
    std::lock_guard lock(mutex_);
    workgroups_[provider].append(workgroup);
}

void FakeNetworkBrowser::AddComputerRecord(const QString& workgroup, const QString& remoteName)
{
    std::lock_guard lock(mutex_);
    NetResource record = NetEnum::ComputerRecord({}, {}, {});
    record.remoteName = remoteName;
    computers_[workgroup.toUpper()].push_back(record);
}

void FakeNetworkBrowser::FailOpen(const QString& listing, uint32_t error)
{
    std::lock_guard lock(mutex_);
    openFailures_[listing] = error;
}

void FakeNetworkBrowser::FailRead(const QString& listing, int readIndex, uint32_t error)
{
    std::lock_guard lock(mutex_);
    readFailures_[{listing, readIndex}] = error;
}

void FakeNetworkBrowser::FailClose(const QString& listing, uint32_t error)
{
    std::lock_guard lock(mutex_);
    closeFailures_[listing] = error;
}

void FakeNetworkBrowser::SetOnOpen(std::function<void(const QString&)> onOpen)
{
    std::lock_guard lock(mutex_);
    onOpen_ = std::move(onOpen);
}

QStringList FakeNetworkBrowser::Opened() const
{
    std::lock_guard lock(mutex_);
    return opened_;
}

int FakeNetworkBrowser::OpenHandles() const
{
    std::lock_guard lock(mutex_);
    return openHandles_;
}

uint32_t FakeNetworkBrowser::List(const NetResource* start, std::vector<NetResource>* records)
{
    const QString listing = start ? start->remoteName : QString();
    std::function<void(const QString&)> onOpen;
    {
        std::lock_guard lock(mutex_);
        opened_.append(listing);
        onOpen = onOpen_;
    }
    if (onOpen)
        onOpen(listing);
    std::lock_guard lock(mutex_);
    if (const auto failure = openFailures_.find(listing); failure != openFailures_.end())
        return failure->second;
    if (!start) {
        for (const QString& provider : providers_)
            records->push_back(NetEnum::ProviderRecord(provider));
    } else if (providers_.contains(listing)) {
        for (const QString& workgroup : workgroups_[listing])
            records->push_back(NetEnum::WorkgroupRecord(listing, workgroup));
    } else {
        *records = computers_[listing.toUpper()];
    }
    ++openHandles_;
    return NetEnum::NO_ERROR;
}

uint32_t FakeNetworkBrowser::WNetEnumResource(Handle handle, uint32_t* count, std::vector<NetResource>* entries,
                                              uint32_t bufferSize)
{
    const QString listing = StartOf(handle);
    {
        std::lock_guard lock(mutex_);
        const auto failure = readFailures_.find({listing, reads_[handle]++});
        if (failure != readFailures_.end())
            return failure->second;
    }
    return ListingBrowser::WNetEnumResource(handle, count, entries, bufferSize);
}

uint32_t FakeNetworkBrowser::WNetCloseEnum(Handle handle)
{
    const QString listing = StartOf(handle);
    const uint32_t result = ListingBrowser::WNetCloseEnum(handle);
    std::lock_guard lock(mutex_);
    if (result == NetEnum::NO_ERROR)
        --openHandles_;
    const auto failure = closeFailures_.find(listing);
    return failure != closeFailures_.end() ? failure->second : result;
}

} // namespace parlino::fake
