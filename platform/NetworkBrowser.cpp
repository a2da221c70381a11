#include "platform/NetworkBrowser.h"

namespace parlino {

uint32_t NetEnum::RecordSize(const NetResource& record)
{
    constexpr uint32_t kFixedPart = 8 * 4;
    uint32_t size = kFixedPart;
    for (const QString* text : {&record.localName, &record.remoteName, &record.comment, &record.provider})
        size += static_cast<uint32_t>(text->toLocal8Bit().size()) + 1;
    return size;
}

NetResource NetEnum::ProviderRecord(const QString& provider)
{
    return {RESOURCE_GLOBALNET, 0, RESOURCEDISPLAYTYPE_NETWORK, RESOURCEUSAGE_CONTAINER, {}, provider, {}, provider};
}

NetResource NetEnum::WorkgroupRecord(const QString& provider, const QString& workgroup)
{
    return {RESOURCE_GLOBALNET, 0, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER, {}, workgroup, {}, provider};
}

NetResource NetEnum::ComputerRecord(const QString& provider, const QString& computer, const QString& comment)
{
    return {RESOURCE_GLOBALNET,
            0,
            RESOURCEDISPLAYTYPE_SERVER,
            RESOURCEUSAGE_CONTAINER,
            {},
            QStringLiteral("\\\\") + computer,
            comment,
            provider};
}

uint32_t ListingBrowser::WNetOpenEnum(uint32_t scope, uint32_t, uint32_t, const NetResource* start, Handle* handle)
{
    if (!handle || scope != NetEnum::RESOURCE_GLOBALNET)
        return NetEnum::ERROR_INVALID_PARAMETER;
    Listing listing;
    if (const uint32_t error = List(start, &listing.records); error != NetEnum::NO_ERROR)
        return error;
    listing.start = start ? start->remoteName : QString();
    std::lock_guard lock(mutex_);
    *handle = nextHandle_++;
    open_[*handle] = std::move(listing);
    return NetEnum::NO_ERROR;
}

uint32_t ListingBrowser::WNetEnumResource(Handle handle, uint32_t* count, std::vector<NetResource>* entries,
                                          uint32_t bufferSize)
{
    if (!count || !entries)
        return NetEnum::ERROR_INVALID_PARAMETER;
    std::lock_guard lock(mutex_);
    const auto found = open_.find(handle);
    if (found == open_.end())
        return NetEnum::ERROR_INVALID_HANDLE;
    Listing& listing = found->second;
    const uint32_t wanted = *count;
    *count = 0;
    if (listing.next >= listing.records.size())
        return NetEnum::ERROR_NO_MORE_ITEMS;
    uint32_t used = 0;
    while (*count < wanted && listing.next < listing.records.size()) {
        const NetResource& record = listing.records[listing.next];
        const uint32_t size = NetEnum::RecordSize(record);
        if (used + size > bufferSize)
            break;
        used += size;
        entries->push_back(record);
        ++listing.next;
        ++*count;
    }
    return *count == 0 ? NetEnum::ERROR_MORE_DATA : NetEnum::NO_ERROR;
}

uint32_t ListingBrowser::WNetCloseEnum(Handle handle)
{
    std::lock_guard lock(mutex_);
    return open_.erase(handle) ? NetEnum::NO_ERROR : NetEnum::ERROR_INVALID_HANDLE;
}

namespace {

class NoNetwork final : public ListingBrowser
{
protected:
    uint32_t List(const NetResource*, std::vector<NetResource>*) override { return NetEnum::ERROR_NO_NETWORK; }
};

} // namespace

NetworkBrowser& NoNetworkBrowser()
{
    static NoNetwork none;
    return none;
}

QString ListingBrowser::StartOf(Handle handle) const
{
    std::lock_guard lock(mutex_);
    const auto found = open_.find(handle);
    return found == open_.end() ? QString() : found->second.start;
}

} // namespace parlino
