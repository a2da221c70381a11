#include "transport/MailSlot.h"

#include "codec/Crc16.h"
#include "codec/SmbMailslot.h"
#include "codec/WinPopupDatagram.h"

#include <cstring>
#include <new>

namespace parlino {
namespace {

constexpr uint32_t kWaitSleepMs = 10;
const QString kMessengerSlot = QStringLiteral("messngr");

} // namespace

TMailSlotWaitThread::TMailSlotWaitThread(TCustomMailSlot* owner, MailslotHandle handle, MailslotService& service,
                                         Clock& clock)
    : owner_(owner), handle_(handle), service_(service), clock_(clock)
{
    SetFreeOnTerminate(true);
    SetPriority(ThreadPriority::Lowest);
    service_.ReaderStarted();
    Resume();
}

void TMailSlotWaitThread::Execute()
{
    while (!Terminated()) {
        uint32_t nextSize = 0;
        uint32_t count = 0;
        service_.GetMailslotInfo(handle_, &nextSize, &count);
        if (count > 0) {
            // Terminate is set on the main thread, so checking it there keeps a closed owner untouched.
            Synchronize([this] {
                if (!Terminated())
                    owner_->HandleMessage();
            });
            continue;
        }
        clock_.Sleep(kWaitSleepMs);
        if (Terminated())
            break;
        uint32_t read = 0;
        // Returns once a message waits or the handle is closed.
        service_.ReadFile(handle_, nullptr, 0, &read);
    }
    // The last touch of the services: from here on they may go.
    service_.ReaderEnded();
}

TCustomMailSlot::TCustomMailSlot(QObject* owner, MailslotService& service, Clock& clock)
    : TComponent(owner), service_(service), clock_(clock), serverName_(QStringLiteral(".")),
      slotName_(QStringLiteral("MailSlot1"))
{
    Close();
}

TCustomMailSlot::~TCustomMailSlot()
{
    if (waitThread_)
        waitThread_->Terminate();
    if (handle_ != kInvalidHandle)
        service_.CloseHandle(handle_);
}

void TCustomMailSlot::SetName(const QString& name)
{
    TComponent::SetName(name);
    if (!slotNameSet_)
        slotName_ = name;
}

void TCustomMailSlot::SetSlotName(const QString& value)
{
    if (value.compare(slotName_, Qt::CaseInsensitive) == 0)
        return;
    slotNameSet_ = true;
    slotName_ = value;
    if (active_)
        Open();
}

void TCustomMailSlot::SetMaxSize(uint32_t value)
{
    if (value == maxSize_)
        return;
    maxSize_ = value;
    if (active_)
        Open();
}

void TCustomMailSlot::SetActive(bool value)
{
    if (Loading()) {
        streamedActive_ = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TCustomMailSlot::Loaded()
{
    TComponent::Loaded();
    SetActive(streamedActive_);
}

QString TCustomMailSlot::Path() const
{
    return QStringLiteral("\\\\") + serverName_ + QStringLiteral("\\mailslot\\") + slotName_;
}

void TCustomMailSlot::Open()
{
    if (active_)
        Close();
    if (Designing()) {
        active_ = true;
        return;
    }
    handle_ = service_.CreateMailslot(Path().toStdString(), maxSize_, kMailslotWaitForever);
    active_ = handle_ != kInvalidHandle;
    if (active_) {
        DoOpen();
        if (!waitThread_)
            waitThread_ = new TMailSlotWaitThread(this, handle_, service_, clock_);
        return;
    }
    switch (service_.GetLastError()) {
    case kErrorBadPathname:
        RaiseError(QStringLiteral("Bad mailslot name"));
    case kErrorAlreadyExists:
        RaiseError(QStringLiteral("Mailslot already exists"));
    default:
        RaiseError(QStringLiteral("Cannot open mailslot"));
    }
}

void TCustomMailSlot::Close()
{
    if (!active_)
        return;
    if (waitThread_) {
        // The thread frees itself once closing the handle has released its wait.
        waitThread_->Terminate();
        waitThread_ = nullptr;
    }
    if (handle_ != kInvalidHandle)
        service_.CloseHandle(handle_);
    handle_ = kInvalidHandle;
    active_ = false;
    DoClose();
}

void TCustomMailSlot::QueryInfo()
{
    if (!active_)
        RaiseError(QStringLiteral("Not active"));
    if (!service_.GetMailslotInfo(handle_, &nextSize_, &messageCount_))
        RaiseError(QStringLiteral("Error in GetMailSlotInfo"));
}

void TCustomMailSlot::AllocMessage(TMailSlotMessage& message, uint32_t size)
{
    message = {};
    if (size > kMaxMailslotData)
        return;
    message.Buffer = new (std::nothrow) uint8_t[size + 1];
    if (!message.Buffer)
        return;
    std::memset(message.Buffer, 0, size + 1);
    message.Size = static_cast<int32_t>(size);
    message.TextSize = message.Size;
    message.Text = message.Buffer;
}

void TCustomMailSlot::FreeMessage(TMailSlotMessage message)
{
    delete[] message.Buffer;
}

bool TCustomMailSlot::ReadMessage(TMailSlotMessage& message)
{
    QueryInfo();
    if (messageCount_ == 0)
        RaiseError(QStringLiteral("No messages waiting"));
    FreeMessage(message);
    AllocMessage(message, nextSize_);
    if (!message.Buffer) {
        // Without a buffer the message can't be read; thrown away, it no longer holds up the queue.
        service_.DiscardMessage(handle_);
        RaiseError(QStringLiteral("Error reading message"));
    }
    uint32_t read = 0;
    const bool ok = service_.ReadFile(handle_, message.Buffer, static_cast<uint32_t>(message.Size), &read);
    if (!ok)
        service_.DiscardMessage(handle_);
    if (message.Size < 0 || read != static_cast<uint32_t>(message.Size))
        RaiseError(QStringLiteral("Error reading message"));
    return true;
}

void TCustomMailSlot::HandleMessage()
{
    TMailSlotMessage message;
    try {
        if (ReadMessage(message)) {
            DoMessageText(QByteArray(reinterpret_cast<const char*>(message.Text)));
            DoMessageData(message.Text, message.TextSize);
        }
    } catch (...) {
        // Nothing that goes wrong with one message may stop the next one.
    }
    FreeMessage(message);
}

void TCustomMailSlot::DoOpen()
{
    Raise(OnOpen, this);
}

void TCustomMailSlot::DoClose()
{
    Raise(OnClose, this);
}

void TCustomMailSlot::DoMessageText(const QByteArray& text)
{
    Raise(OnMessageText, this, text);
}

void TCustomMailSlot::DoMessageData(const uint8_t* data, int32_t size)
{
    Raise(OnMessageData, this, data, size);
}

void TCustomMailSlot::RaiseError(const QString& message)
{
    throw EMailSlot(message);
}

TCustomWinPopup::TCustomWinPopup(QObject* owner, MailslotService& service, Clock& clock, const CodePage& codePage)
    : TCustomMailSlot(owner, service, clock), codePage_(codePage)
{
    SetSlotName(kMessengerSlot);
}

bool TCustomWinPopup::Send(const QString& ATarget, const QString& AFrom, const QString& ATo,
                           const QString& AText) noexcept
{
    try {
        const auto datagram =
            BuildWinPopupDatagram(codePage_.ToOemBytes(AFrom), codePage_.ToOemBytes(ATo), codePage_.ToOemBytes(AText));
        const std::string path = "\\\\" + codePage_.ToOemBytes(ATarget) + "\\mailslot\\" + kMessengerSlot.toStdString();
        const MailslotHandle file = service_.CreateFile(path);
        if (file == kInvalidHandle)
            return false;
        uint32_t written = 0;
        const bool ok = service_.WriteFile(file, datagram.data(), static_cast<uint32_t>(datagram.size()), &written);
        service_.CloseHandle(file);
        return ok && written == datagram.size();
    } catch (...) {
        return false;
    }
}

void TCustomWinPopup::DoMessageData(const uint8_t* data, int32_t size)
{
    if (!OnMessage)
        return;
    const auto length = static_cast<size_t>(size);
    if (repeats_.IsRepeat(Crc16Arc(data, length), clock_.TickCount()))
        return;
    const WinPopupFields fields = SplitWinPopupDatagram(data, length);
    Raise(OnMessage, this, codePage_.FromOemBytes(fields.receiver), codePage_.FromOemBytes(fields.sender),
          codePage_.FromOemBytes(fields.text));
}

} // namespace parlino
