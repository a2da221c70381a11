#pragma once

#include "platform/InstanceLock.h"
#include "platform/Platform.h"

namespace parlino {

// The name that keeps a second copy from starting.
constexpr auto kInstanceName = "Parlino";

// False when another copy already holds the instance name: the caller then ends at once, showing nothing.
bool FirstInstance(InstanceLock& lock);

// Creates MainForm, OptiuniForm (hidden) and AboutForm, runs the event loop until the main window
// closes, and takes everything down again. Needs the application object; returns the exit code.
int RunParlino(const Platform& platform);

} // namespace parlino
