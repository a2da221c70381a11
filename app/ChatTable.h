#pragma once

#include "chat/ChatUnit.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace parlino {

// The main window's chat windows, one per slot 1..kSlots; a slot is in use exactly while it holds a window.
// A window opened here frees its own slot when it closes and is destroyed once control is back in the event
// loop, as it may still be inside its close handler. Main thread only.
class ChatTable final
{
public:
    static constexpr int kSlots = 100;
    // No slot: the table is full, or no window was opened.
    static constexpr int kNoSlot = kSlots + 1;

    ChatTable() = default;
    // Closes every window the owner has not yet closed.
    ~ChatTable();
    ChatTable(const ChatTable&) = delete;
    ChatTable& operator=(const ChatTable&) = delete;

    // The lowest free slot; kNoSlot when all are in use.
    int FreeSlot() const;
    bool IsOpen(int slot) const;
    // The window in the slot; nullptr while the slot is free.
    TChatForm* At(int slot) const;
    // The open window of the station, the lowest slot first; nullptr when none is open.
    TChatForm* With(const QString& station) const;

    // Opens a window in the lowest free slot, its Tag set to the slot; nullptr when the table is full. The window's
    // closed event is the table's.
    TChatForm* Open(ChatServices services);
    // Frees a slot at once; its window is destroyed soon after.
    void Release(int slot);
    // Frees every slot in use, as the main window closes.
    void ReleaseAll();
    // Destroys every window now, the released ones waiting for the event loop too. The owner calls it before
    // anything the windows were given goes.
    void CloseAll();

private:
    void DestroyReleased();

    // Index 0 is never used, so that slots index the table.
    std::array<std::unique_ptr<TChatForm>, kSlots + 1> windows_;
    // Released windows waiting to be destroyed from the event loop.
    std::vector<std::unique_ptr<TChatForm>> released_;
    // Carries the deferred destruction, which goes with the table.
    QObject sweeper_;
};

} // namespace parlino
