#pragma once

#include <functional>

namespace parlino {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread, so that a program asked to end
// (a logout, kill, Ctrl+C) leaves through its ordinary close path: mailslots closed, last
// announcement sent. Needs the application object; one handler per process, the last one set wins.
void OnTerminationSignal(std::function<void()> handler);

// For a program with nothing to close: SIGTERM and SIGINT end it at once by their default action, also where it
// was started with them ignored, as a script's background job is.
void EndOnTerminationSignal();

} // namespace parlino
