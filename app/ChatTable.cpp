#include "app/ChatTable.h"

#include <utility>

namespace parlino {

ChatTable::~ChatTable()
{
    CloseAll();
}

int ChatTable::FreeSlot() const
{
    for (int slot = 1; slot <= kSlots; ++slot)
        if (!IsOpen(slot))
            return slot;
    return kNoSlot;
}

bool ChatTable::IsOpen(int slot) const
{
    return At(slot) != nullptr;
}

TChatForm* ChatTable::At(int slot) const
{
    return windows_.at(static_cast<size_t>(slot)).get();
}

TChatForm* ChatTable::With(const QString& station) const
{
    for (int slot = 1; slot <= kSlots; ++slot)
        if (TChatForm* window = At(slot); window && window->GetStation() == station)
            return window;
    return nullptr;
}

TChatForm* ChatTable::Open(ChatServices services)
{
    const int slot = FreeSlot();
    if (slot == kNoSlot)
        return nullptr;
    services.closed = [this, slot] { Release(slot); };
    auto& window = windows_.at(static_cast<size_t>(slot));
    window = std::make_unique<TChatForm>(services);
    window->Tag = slot;
    return window.get();
}

void ChatTable::Release(int slot)
{
    auto& window = windows_.at(static_cast<size_t>(slot));
    if (!window)
        return;
    // The window may be inside its own close handler: it goes once control is back in the event loop.
    if (released_.empty())
        QMetaObject::invokeMethod(
            &sweeper_, [this] { DestroyReleased(); }, Qt::QueuedConnection);
    released_.push_back(std::move(window));
}

void ChatTable::ReleaseAll()
{
    for (int slot = 1; slot <= kSlots; ++slot)
        Release(slot);
}

void ChatTable::DestroyReleased()
{
    // Taken out of the table first, so that a window going away cannot change the list being emptied.
    const std::vector<std::unique_ptr<TChatForm>> doomed = std::exchange(released_, {});
}

void ChatTable::CloseAll()
{
    DestroyReleased();
    // The highest slot first, as the windows share one placement: the lowest slot's is the one kept.
    for (int slot = kSlots; slot >= 1; --slot)
        windows_.at(static_cast<size_t>(slot)).reset();
}

} // namespace parlino
