#pragma once

#include "codec/RepeatFilter.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Component.h"
#include "platform/MailslotService.h"
#include "platform/Thread.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace parlino {

// The mailslot receiver's own errors; carries only its message.
class EMailSlot : public std::exception
{
public:
    explicit EMailSlot(const QString& message) : message_(message), utf8_(message.toStdString()) {}
    const char* what() const noexcept override { return utf8_.c_str(); }
    QString Message() const { return message_; }

private:
    QString message_;
    std::string utf8_;
};

// One received message: Size bytes followed by one 0x00; no buffer when none could be made.
struct TMailSlotMessage
{
    int32_t Size = 0;
    uint8_t* Buffer = nullptr;
    int32_t TextSize = 0;
    uint8_t* Text = nullptr;
};

class TCustomMailSlot;

// Waits for messages and hands each one to the main thread, blocking until it has been handled.
class TMailSlotWaitThread final : public TThread
{
public:
    // Nobody waits for a wait thread when its mailslot closes: the service waits for it before it goes.
    TMailSlotWaitThread(TCustomMailSlot* owner, MailslotHandle handle, MailslotService& service, Clock& clock);

protected:
    void Execute() override;

private:
    TCustomMailSlot* owner_;
    const MailslotHandle handle_;
    MailslotService& service_;
    Clock& clock_;
};

// Owns one local mailslot and notifies every message that arrives in it, on the main thread.
class TCustomMailSlot : public TComponent
{
    Q_OBJECT

public:
    using TMessageTextEvent = std::function<void(QObject* sender, const QByteArray& text)>;
    using TMessageDataEvent = std::function<void(QObject* sender, const uint8_t* data, int32_t size)>;

    TCustomMailSlot(QObject* owner, MailslotService& service, Clock& clock);
    // Stops the wait thread and releases the mailslot quietly, so no thread is left pointing here.
    ~TCustomMailSlot() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    uint32_t MaxSize() const { return maxSize_; }
    void SetMaxSize(uint32_t value);
    QString ServerName() const { return serverName_; }
    QString SlotName() const { return slotName_; }
    void SetSlotName(const QString& value);
    uint32_t MessageCount() const { return messageCount_; }
    uint32_t NextSize() const { return nextSize_; }
    QString Path() const;

    void SetName(const QString& name) override;

    void QueryInfo();
    // Reads one waiting message and notifies it; what goes wrong ends this one message silently.
    void HandleMessage();

    virtual void Open();
    virtual void Close();

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TMessageTextEvent OnMessageText;
    TMessageDataEvent OnMessageData;

protected:
    virtual void DoOpen();
    virtual void DoClose();
    virtual void DoMessageText(const QByteArray& text);
    virtual void DoMessageData(const uint8_t* data, int32_t size);
    [[noreturn]] virtual void RaiseError(const QString& message);
    virtual bool ReadMessage(TMailSlotMessage& message);
    virtual void FreeMessage(TMailSlotMessage message);
    void Loaded() override;

    MailslotService& service_;
    Clock& clock_;

private:
    static void AllocMessage(TMailSlotMessage& message, uint32_t size);

    bool streamedActive_ = false;
    bool active_ = false;
    MailslotHandle handle_ = kInvalidHandle;
    uint32_t maxSize_ = 0;
    QString serverName_;
    QString slotName_;
    uint32_t messageCount_ = 0;
    uint32_t nextSize_ = 0;
    bool slotNameSet_ = false;
    TMailSlotWaitThread* waitThread_ = nullptr;
};

using TwpMessage =
    std::function<void(QObject* Sender, const QString& AReciever, const QString& ASender, const QString& AMsg)>;

// Sends and receives messenger datagrams through the mailslot "messngr".
class TCustomWinPopup : public TCustomMailSlot
{
    Q_OBJECT

public:
    TCustomWinPopup(QObject* owner, MailslotService& service, Clock& clock, const CodePage& codePage);

    // Writes one datagram to TARGET's "messngr" mailslot; true when all of it was handed to the network.
    bool Send(const QString& ATarget, const QString& AFrom, const QString& ATo, const QString& AText) noexcept;

    TwpMessage OnMessage;

protected:
    void DoMessageData(const uint8_t* data, int32_t size) override;

private:
    const CodePage& codePage_;
    RepeatFilter repeats_;
};

class TWinPopup final : public TCustomWinPopup
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(uint MaxSize READ MaxSize WRITE SetMaxSize)

public:
    using TCustomWinPopup::TCustomWinPopup;
};

} // namespace parlino
