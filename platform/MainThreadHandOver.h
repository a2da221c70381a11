#pragma once

#include <functional>

namespace parlino {

// How threads live together in this program; every thread and every owner of one keeps to these rules.
//
// 1. Widgets belong to the main thread. A background thread (a TThread) reaches the main thread only by a
//    hand-over: Synchronize(fn), or Run(fn) below, runs fn on the main thread and blocks the caller until fn
//    has returned; an exception fn throws comes back to the caller.
// 2. Hand-overs are served by the main event loop and by the main thread's waits for a thread (TThread::WaitFor,
//    MailslotService::WaitForReaders, ServeUntil), and those waits serve nothing else. So a thread that is being
//    stopped can still finish its hand-overs (a refresh being replaced still rebuilds the tree).
// 3. Never inside a nested modal loop: while a modal box runs its own loop ("Couldn't create window", the about
//    box), hand-overs wait until it closes, so the handlers behind the box (the message routing) are never
//    re-entered. Main-thread work that would wait for a thread there, and so serve hand-overs behind the box
//    (the refresh timer's tick), is left out while InModalLoop() holds; the next tick does it.
// 4. A thread is asked to stop (Terminate) on the main thread; a thread whose hand-over touches its owner reads
//    Terminated() inside that hand-over, where it cannot change under it, so a closed owner is never touched.
// 5. Readers first: a thread that reads a mailslot ends and frees itself once its handle closes, so nobody
//    joins it; it registers with its MailslotService instead. Every service's destructor calls WaitForReaders()
//    before anything else, since a reader may still call the service; debug builds assert that it did.
// 6. A thread that waits on sockets is a PollThread, owned by the service that starts it, which stops it (wakes
//    and joins it) before anything its handlers use goes.
// 7. Nothing busy-waits: an idle thread blocks on a condition, a socket or a wake-up descriptor.
// 8. Start-up builds some services on threads of their own while the application object connects to the display
//    (the network services, the font configuration, the session bus). The main thread asks Qt for its own thread
//    before any of them starts, as Qt takes the first thread that asks for the main thread. Nothing they start
//    hands over before the main window opens the mailslot, and they make no object that must live on the main
//    thread.
//
// This namespace is the process-wide queue of hand-overs.
namespace MainThreadHandOver {

bool IsMainThread();

// Main thread: true while a modal box runs its own loop inside the main event loop.
bool InModalLoop();

// Runs fn on the main thread and blocks the caller until it has returned. On the main thread fn runs at once.
void Run(const std::function<void()>& fn);

// Main thread: serves hand-overs until done() holds; done() is checked whenever a hand-over or Wake() arrives.
// With a time-out (milliseconds) it gives up after that long; true when done() held.
bool ServeUntil(const std::function<bool()>& done, int timeoutMs = -1);

// Wakes ServeUntil so it checks its condition again (a thread finished).
void Wake();

// Main thread: runs every hand-over waiting now; returns how many ran.
int ServePending();

} // namespace MainThreadHandOver
} // namespace parlino
