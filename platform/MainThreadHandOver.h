#pragma once

#include <functional>

namespace parlino {

// The process-wide queue through which background threads run routines on the main thread.
// Routines are served by the main event loop (never from inside a nested modal loop, so handlers
// are not re-entered behind a message box) and by the main thread's waits for a thread.
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
