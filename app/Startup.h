#pragma once

#include "platform/InstanceLock.h"
#include "platform/qt/Platform.h"
#include "transport/StationSender.h"

#include <functional>
#include <optional>

class QApplication;

namespace parlino {

// The name that keeps a second copy from starting.
constexpr auto kInstanceName = "Parlino";

// False when another copy already holds the instance name: the caller then ends at once, showing nothing.
bool FirstInstance(InstanceLock& lock);

// MainForm, OptiuniForm (hidden) and AboutForm, made in that order from the services; the main window is
// handed the options dialog and the about box.
void CreateForms(const Platform& platform, std::optional<StationSender::SmbRoute> smb = std::nullopt);
// Closes the transport, waits for its threads and destroys the three forms; safe when none exist.
void DestroyForms();

// Creates MainForm, and OptiuniForm (hidden) and AboutForm when first needed, runs the event loop until the main
// window closes, and takes everything down again. Needs the application object; returns the exit code.
// fontsReady, when given, returns once the fonts are read: it is called after the main window is built, before
// anything measures text.
int RunParlino(const Platform& platform, std::optional<StationSender::SmbRoute> smb = std::nullopt,
               const std::function<void()>& fontsReady = {});

// The whole program: one copy per session, the application object, the system's services, the forms.
// onApplication, when given, sees the application object before any form exists.
int ParlinoMain(int argc, char** argv, const std::function<void(QApplication&)>& onApplication = {});

} // namespace parlino
