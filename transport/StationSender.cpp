#include "transport/StationSender.h"

#include "codec/MailslotPath.h"
#include "codec/NetbiosDatagram.h"
#include "platform/MainThreadHandOver.h"
#include "platform/Thread.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace parlino {

struct StationSender::Queue
{
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<Line> lines;
    bool stopping = false;
    // The sender is gone: nothing is told any more.
    bool left = false;
    std::atomic<bool> finished = false;
};

// Takes the lines for the SMB route in order and hands each outcome to the main thread. It ends and frees itself
// once the sender stops it; what it uses after its sender may be gone, it holds itself.
class StationSender::Worker final : public TThread
{
public:
    Worker(StationSender& owner, const SmbRoute& route, std::shared_ptr<Queue> queue)
        : owner_(owner), sender_(route.sender), codePage_(route.codePage), callingName_(route.callingName),
          queue_(std::move(queue))
    {
        SetFreeOnTerminate(true);
    }

protected:
    void Execute() override
    {
        for (;;) {
            Line line;
            {
                std::unique_lock lock(queue_->mutex);
                queue_->posted.wait(lock, [this] { return queue_->stopping || !queue_->lines.empty(); });
                if (queue_->stopping)
                    break;
                line = std::move(queue_->lines.front());
                queue_->lines.pop_front();
            }
            bool trySmb = !line.lookup;
            if (line.lookup) {
                const auto where =
                    sender_.Names().Resolve(line.target, std::chrono::steady_clock::now() + sender_.LineTime());
                trySmb = where && where->beyondRouter;
            }
            const bool tookSmb =
                trySmb && sender_.SendLine(codePage_, callingName_, line.station, line.from, line.text).isEmpty();
            {
                std::lock_guard lock(queue_->mutex);
                if (queue_->left)
                    break;
            }
            // Checked again on the main thread, where the owner is left.
            Synchronize([&] {
                if (!queue_->left)
                    owner_.Finish(line, tookSmb);
            });
        }
        queue_->finished = true;
    }

private:
    StationSender& owner_;
    const SmbMessageSender sender_;
    const CodePage& codePage_;
    const std::string callingName_;
    const std::shared_ptr<Queue> queue_;
};

StationSender::StationSender(TCustomWinPopup& datagrams, std::optional<SmbRoute> smb) : datagrams_(datagrams)
{
    if (!smb)
        return;
    isSambaServer_ = smb->isSambaServer;
    isGroup_ = smb->isGroup;
    names_ = smb->sender.Names();
    codePage_ = &smb->codePage;
    leaveAfter_ = smb->sender.AnswerTime();
    queue_ = std::make_shared<Queue>();
    (new Worker(*this, *smb, queue_))->Resume();
}

StationSender::~StationSender()
{
    if (!queue_)
        return;
    {
        std::lock_guard lock(queue_->mutex);
        queue_->stopping = true;
    }
    queue_->posted.notify_one();
    // Serves the hand-over of the line under way while it waits.
    if (MainThreadHandOver::ServeUntil([this] { return queue_->finished.load(); },
                                       static_cast<int>(leaveAfter_.count())))
        return;
    std::lock_guard lock(queue_->mutex);
    queue_->left = true;
}

StationSender::Path StationSender::PathOf(const QString& station, const std::string& target) const
{
    if (!queue_)
        return Path::Datagram;
    if (isSambaServer_ && isSambaServer_(station))
        return Path::SmbFirst;
    if (!names_->UsesWins() || station == QStringLiteral("*") || target.size() > kNetbiosNameLength ||
        (isGroup_ && isGroup_(station)))
        return Path::Datagram;
    if (pending_ > 0)
        return Path::Lookup;
    // Known to be on this subnet, or known to nobody: a broadcast, as without WINS.
    const auto recalled = names_->Recall(target);
    return recalled && !(recalled->where && recalled->where->beyondRouter) ? Path::Datagram : Path::Lookup;
}

void StationSender::Send(const QString& station, const QString& from, const QString& text, QObject* receiver,
                         Outcome outcome)
{
    const std::string target = codePage_ ? UpperAscii(codePage_->ToOemBytes(station)) : std::string();
    const Path path = PathOf(station, target);
    if (path == Path::Datagram) {
        outcome(datagrams_.Send(station, from, station, text));
        return;
    }
    ++pending_;
    {
        std::lock_guard lock(queue_->mutex);
        queue_->lines.push_back({path == Path::Lookup, target, station, from, text, receiver, std::move(outcome)});
    }
    queue_->posted.notify_one();
}

void StationSender::Finish(const Line& line, bool tookSmb)
{
    --pending_;
    const bool delivered = tookSmb || datagrams_.Send(line.station, line.from, line.station, line.text);
    if (line.receiver)
        line.outcome(delivered);
}

} // namespace parlino
