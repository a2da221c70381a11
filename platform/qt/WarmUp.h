#pragma once

#include <functional>
#include <thread>

namespace parlino {

// Start-up work that the main thread will need done but need not do itself: it runs on a thread of its own while
// the main thread goes on. Wait(), or the end of the object, joins it.
class WarmUp final
{
public:
    explicit WarmUp(std::function<void()> work);
    ~WarmUp();
    WarmUp(const WarmUp&) = delete;
    WarmUp& operator=(const WarmUp&) = delete;

    void Wait();

private:
    std::thread worker_;
};

// Reads the system's font configuration, which takes several milliseconds, and no text can be measured before it
// is read; best while the application connects to the display. Wait for it before the first text is measured:
// fontconfig would otherwise read it a second time, in parallel, rather than wait.
void ReadFontConfiguration();

// Fills the application's font database from the font configuration once it is read: a millisecond or more that
// the first text would otherwise spend. Needs the application object.
void LoadFontDatabase();

// Whether the screen readers' bridge will need the session bus before the first control exists: on an X or Wayland
// display, not offscreen. Needs the application object.
bool BridgeNeedsSessionBus();

// Connects to the session bus: a few milliseconds, longer where no bus runs. Needs the application object.
void ConnectSessionBus();

} // namespace parlino
