#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace parlino {

// One network resource record, as the enumeration calls return them.
struct NetResource
{
    uint32_t scope = 0;
    uint32_t type = 0;
    uint32_t displayType = 0;
    uint32_t usage = 0;
    QString localName;
    QString remoteName;
    QString comment;
    QString provider;
};

namespace NetEnum {

// The values of a record's numbers, one enum a field, as the listing calls take and give them.
enum Scope : uint32_t { RESOURCE_CONNECTED = 1, RESOURCE_GLOBALNET = 2 };
enum Type : uint32_t { RESOURCETYPE_DISK = 1 };
enum Usage : uint32_t { RESOURCEUSAGE_CONTAINER = 2 };
enum DisplayType : uint32_t {
    RESOURCEDISPLAYTYPE_DOMAIN = 1,
    RESOURCEDISPLAYTYPE_SERVER = 2,
    RESOURCEDISPLAYTYPE_NETWORK = 6
};

// What the calls return.
constexpr uint32_t NO_ERROR = 0;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_BAD_NET_NAME = 67;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_MORE_DATA = 234;
constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;
constexpr uint32_t ERROR_NO_NETWORK = 1222;

// Bytes a record takes in a caller's buffer: four numbers and four pointers of a 32-bit program,
// then its texts with their terminators.
uint32_t RecordSize(const NetResource& record);

// The records of the three levels, the way the platform fills them.
NetResource ProviderRecord(const QString& provider);
NetResource WorkgroupRecord(const QString& provider, const QString& workgroup);
NetResource ComputerRecord(const QString& provider, const QString& computer, const QString& comment);

} // namespace NetEnum

// The network's browse list as the platform's enumeration calls give it: open a listing (the providers
// when there is no start record, the containers of a provider, or the computers of a workgroup),
// read it in batches that fit the caller's buffer until ERROR_NO_MORE_ITEMS, close it.
// Calls may block until the network answers; they are safe from any thread.
class NetworkBrowser
{
public:
    using Handle = uintptr_t;

    virtual ~NetworkBrowser() = default;
    virtual uint32_t WNetOpenEnum(uint32_t scope, uint32_t type, uint32_t usage, const NetResource* start,
                                  Handle* handle) = 0;
    // Appends at most *count records that fit bufferSize bytes to entries and sets *count to their number.
    virtual uint32_t WNetEnumResource(Handle handle, uint32_t* count, std::vector<NetResource>* entries,
                                      uint32_t bufferSize) = 0;
    virtual uint32_t WNetCloseEnum(Handle handle) = 0;
    // From now on, listings that wait for the network's answers return at once with what has arrived:
    // for a program that ends while a refresh is under way.
    virtual void StopWaiting() {}
    // Whether the computer announced itself as a Samba server (the Unix server type): such a computer takes
    // messages by SMB. Answers at once, from what the list holds now.
    virtual bool IsUnixServer([[maybe_unused]] const QString& computer) { return false; }
};

// The handles and the batching of a browser whose listings are taken whole when they are opened.
class ListingBrowser : public NetworkBrowser
{
public:
    uint32_t WNetOpenEnum(uint32_t scope, uint32_t type, uint32_t usage, const NetResource* start,
                          Handle* handle) override;
    uint32_t WNetEnumResource(Handle handle, uint32_t* count, std::vector<NetResource>* entries,
                              uint32_t bufferSize) override;
    uint32_t WNetCloseEnum(Handle handle) override;

protected:
    // The records below start (the providers when start is null), or an error code.
    virtual uint32_t List(const NetResource* start, std::vector<NetResource>* records) = 0;
    // The remote name of the start record a handle was opened with; empty for the root or an unknown handle.
    QString StartOf(Handle handle) const;

private:
    struct Listing
    {
        QString start;
        std::vector<NetResource> records;
        size_t next = 0;
    };
    mutable std::mutex mutex_;
    std::map<Handle, Listing> open_;
    Handle nextHandle_ = 1;
};

// A computer without a network: every enumeration reports ERROR_NO_NETWORK.
NetworkBrowser& NoNetworkBrowser();

} // namespace parlino
