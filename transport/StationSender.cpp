#include "transport/StationSender.h"

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
            const bool tookSmb =
                sender_.SendLine(codePage_, callingName_, line.station, line.from, line.text).isEmpty();
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

void StationSender::Send(const QString& station, const QString& from, const QString& text, QObject* receiver,
                         Outcome outcome)
{
    if (!queue_ || !isSambaServer_ || !isSambaServer_(station)) {
        outcome(datagrams_.Send(station, from, station, text));
        return;
    }
    {
        std::lock_guard lock(queue_->mutex);
        queue_->lines.push_back({station, from, text, receiver, std::move(outcome)});
    }
    queue_->posted.notify_one();
}

void StationSender::Finish(const Line& line, bool tookSmb)
{
    const bool delivered = tookSmb || datagrams_.Send(line.station, line.from, line.station, line.text);
    if (line.receiver)
        line.outcome(delivered);
}

} // namespace parlino
