#include "netenum/NetUsers.h"

namespace parlino {
namespace {

constexpr uint32_t kAllEntries = 0xFFFFFFFFu;
constexpr uint32_t kBufferSize = 8192;
constexpr int kComputerNameBuffer = 255;

// Closes a listing on every way out; a failed close is reported by Close().
class OpenListing
{
public:
    explicit OpenListing(NetworkBrowser& browser) : browser_(browser) {}
    ~OpenListing()
    {
        if (open_)
            browser_.WNetCloseEnum(handle_);
    }
    OpenListing(const OpenListing&) = delete;
    OpenListing& operator=(const OpenListing&) = delete;

    bool Open(const NetResource* start)
    {
        open_ = browser_.WNetOpenEnum(NetEnum::RESOURCE_GLOBALNET, NetEnum::RESOURCETYPE_DISK,
                                      NetEnum::RESOURCEUSAGE_CONTAINER, start, &handle_) == NetEnum::NO_ERROR;
        return open_;
    }
    bool Close()
    {
        open_ = false;
        return browser_.WNetCloseEnum(handle_) == NetEnum::NO_ERROR;
    }
    NetworkBrowser::Handle Handle() const { return handle_; }

private:
    NetworkBrowser& browser_;
    NetworkBrowser::Handle handle_ = 0;
    bool open_ = false;
};

} // namespace

TNetUsers::TNetUsers(QObject* owner, NetworkBrowser& browser, const ComputerName& computerName)
    : TComponent(owner), browser_(browser), computerName_(computerName)
{}

void TNetUsers::SetServer(const QString& server)
{
    if (server != server_)
        server_ = server;
}

bool TNetUsers::ReadAll(NetworkBrowser::Handle handle, const std::function<void(const NetResource&)>& take)
{
    std::vector<NetResource> buffer;
    for (;;) {
        uint32_t count = kAllEntries;
        buffer.clear();
        const uint32_t result = browser_.WNetEnumResource(handle, &count, &buffer, kBufferSize);
        if (result == NetEnum::ERROR_NO_MORE_ITEMS)
            return true;
        if (result != NetEnum::NO_ERROR)
            return false;
        for (const NetResource& record : buffer)
            take(record);
    }
}

bool TNetUsers::EnumDomains()
{
    items_.Clear();
    std::vector<NetResource> providers;
    {
        OpenListing root(browser_);
        if (!root.Open(nullptr))
            return false;
        // The root is read once: its one batch holds the providers.
        uint32_t count = kAllEntries;
        if (browser_.WNetEnumResource(root.Handle(), &count, &providers, kBufferSize) != NetEnum::NO_ERROR)
            return false;
        if (!root.Close())
            return false;
    }
    for (const NetResource& provider : providers) {
        OpenListing below(browser_);
        if (!below.Open(&provider))
            return false;
        if (!ReadAll(below.Handle(), [this](const NetResource& record) { items_.Add(record.remoteName); }))
            return false;
        if (!below.Close())
            return false;
    }
    return true;
}

bool TNetUsers::EnumServers()
{
    items_.Clear();
    NetResource start;
    start.remoteName = server_;
    start.displayType = NetEnum::RESOURCEDISPLAYTYPE_SERVER;
    start.usage = NetEnum::RESOURCEUSAGE_CONTAINER;
    start.scope = NetEnum::RESOURCE_CONNECTED;
    OpenListing listing(browser_);
    if (!listing.Open(&start))
        return false;
    const bool complete = ReadAll(listing.Handle(), [this](const NetResource& record) {
        // Remote names are "\\NAME"; a shorter or odd one loses what it has of two characters, and
        // leaves nothing worth listing when that is all it had.
        const QString name = record.remoteName.mid(2);
        if (!name.isEmpty())
            items_.Add(name);
    });
    return complete && listing.Close();
}

bool TNetUsers::Refresh()
{
    if (!server_.isEmpty())
        return EnumServers();
    if (!EnumDomains())
        return false;
    const QString thisComputer = computerName_.Get().left(kComputerNameBuffer - 1);
    const QStringList domains = items_.Names();
    for (const QString& domain : domains) {
        SetServer(domain);
        if (EnumServers() && items_.Find(thisComputer))
            return true;
    }
    return false;
}

} // namespace parlino
