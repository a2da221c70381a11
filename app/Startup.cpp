#include "app/Startup.h"

#include "about/AboutUnit.h"
#include "app/ParlinoUnit.h"
#include "platform/TerminationSignals.h"
#include "settings/OptiuniUnit.h"
#include "transport/MailSlot.h"

#include <QApplication>

namespace parlino {

bool FirstInstance(InstanceLock& lock)
{
    return lock.Acquire(QLatin1String(kInstanceName));
}

int RunParlino(const Platform& platform)
{
    // Only the main window's close ends the program; hiding it in the notification area must not.
    QApplication::setQuitOnLastWindowClosed(false);
    MainForm = new TMainForm(platform);
    // Until here the default action of a signal to end loses nothing.
    OnTerminationSignal([] { MainForm->close(); });
    OptiuniForm = new TOptiuniForm(platform.screen);
    AboutForm = new TAboutForm();

    MainForm->show();
    QApplication::exec();

    // The waiting threads hand messages to the main thread; they must be gone before the services they use.
    MainForm->WinPopup->Close();
    TMailSlotWaitThread::WaitForAllToEnd();
    delete AboutForm;
    AboutForm = nullptr;
    delete OptiuniForm;
    OptiuniForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
    return 0;
}

} // namespace parlino
