#include "transport/StationSender.h"

#include "codec/MailslotPath.h"
#include "codec/NetbiosDatagram.h"
#include "codec/SmbMessage.h"
#include "platform/Thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace parlino {

// Takes the lines for the SMB route in order and hands each outcome to the main thread.
class StationSender::Worker final : public TThread
{
public:
    explicit Worker(StationSender& owner) : owner_(owner) {}

    void Post(Line line)
    {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
        }
        posted_.notify_one();
    }

    // Main thread: serves the hand-over of the line under way while waiting for it.
    void Stop()
    {
        {
            std::lock_guard lock(mutex_);
            Terminate();
        }
        posted_.notify_one();
        WaitFor();
    }

protected:
    void Execute() override
    {
        for (;;) {
            Line line;
            {
                std::unique_lock lock(mutex_);
                posted_.wait(lock, [this] { return Terminated() || !lines_.empty(); });
                if (Terminated())
                    return;
                line = std::move(lines_.front());
                lines_.pop_front();
            }
            const bool tookSmb = owner_.SendBySmb(line);
            Synchronize([&] { owner_.Finish(line, tookSmb); });
        }
    }

private:
    StationSender& owner_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Line> lines_;
};

StationSender::StationSender(TCustomWinPopup& datagrams, std::optional<SmbRoute> smb)
    : datagrams_(datagrams), smb_(std::move(smb))
{
    if (!smb_)
        return;
    worker_ = std::make_unique<Worker>(*this);
    worker_->Resume();
}

StationSender::~StationSender()
{
    if (worker_)
        worker_->Stop();
}

void StationSender::Send(const QString& station, const QString& from, const QString& text, QObject* receiver,
                         Outcome outcome)
{
    if (!worker_ || !smb_->isSambaServer || !smb_->isSambaServer(station)) {
        outcome(datagrams_.Send(station, from, station, text));
        return;
    }
    worker_->Post({station, from, text, receiver, std::move(outcome)});
}

bool StationSender::SendBySmb(const Line& line) const
{
    const CodePage& codePage = smb_->codePage;
    const std::string target = UpperAscii(codePage.ToOemBytes(line.station));
    // A longer name would be cut in the name query and could reach another computer.
    if (target.size() > kNetbiosNameLength)
        return false;
    const auto address = smb_->sender.Resolve(target);
    return address && smb_->sender
                          .Send(*address, target, smb_->callingName, codePage.ToOemBytes(line.from),
                                WithCrLf(codePage.ToOemBytes(line.text)))
                          .empty();
}

void StationSender::Finish(const Line& line, bool tookSmb)
{
    const bool delivered = tookSmb || datagrams_.Send(line.station, line.from, line.station, line.text);
    if (line.receiver)
        line.outcome(delivered);
}

} // namespace parlino
