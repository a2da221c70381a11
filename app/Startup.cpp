#include "app/Startup.h"

#include "about/AboutUnit.h"
#include "app/Notice.h"
#include "app/ParlinoUnit.h"
#include "app/SystemPlatform.h"
#include "app/Translations.h"
#include "forms/FormParts.h"
#include "platform/TerminationSignals.h"
#include "platform/qt/WarmUp.h"
#include "settings/OptiuniUnit.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>
#include <QThread>

#include <future>
#include <memory>
#include <optional>

namespace parlino {

namespace {

// A settings file that cannot be used is left as it is, and the program runs on its defaults; the user learns once
// where the file is and why, in the main window's status line and on stderr.
void ReportIgnoredSettings(ProfileStore& profiles)
{
    const QString problem = profiles.ReadProblem(MainForm->FormPlacement->IniFileName());
    if (problem.isEmpty())
        return;
    const Notice notice = TMainForm::Said(QT_TRANSLATE_NOOP("parlino::TMainForm", "Settings file ignored: %1"))
                              .Arg(Notice::Verbatim(problem));
    MainForm->ShowNotice(notice.shown);
    QTextStream(stderr) << "parlino: " << notice.logged << Qt::endl;
}

void CreateMainForm(const Platform& platform, std::optional<StationSender::SmbRoute> smb)
{
    MainForm = new TMainForm(platform, std::move(smb));
    ReportIgnoredSettings(platform.profiles);
}

void CreateDialogs(const Platform& platform)
{
    OptiuniForm = new TOptiuniForm(platform);
    MainForm->SetOptions(*OptiuniForm);
    AboutForm = new TAboutForm();
    MainForm->SetAbout(*AboutForm);
}

} // namespace

bool FirstInstance(InstanceLock& lock)
{
    return lock.Acquire(QLatin1String(kInstanceName));
}

void CreateForms(const Platform& platform, std::optional<StationSender::SmbRoute> smb)
{
    CreateMainForm(platform, std::move(smb));
    MainForm->FormCreate();
    CreateDialogs(platform);
}

void DestroyForms()
{
    // The main window and its chat windows read the options: they go first.
    delete MainForm;
    MainForm = nullptr;
    delete AboutForm;
    AboutForm = nullptr;
    delete OptiuniForm;
    OptiuniForm = nullptr;
}

int RunParlino(const Platform& platform, std::optional<StationSender::SmbRoute> smb,
               const std::function<void()>& fontsReady)
{
    // Only the main window's close ends the program; hiding it in the notification area must not.
    QApplication::setQuitOnLastWindowClosed(false);
    CreateMainForm(platform, std::move(smb));
    // Building the window measures no text; showing it does. The wait for the fonts goes to reading the toolbar's
    // pictures first; without a wait, the first frame reads them as it draws.
    if (fontsReady) {
        PrepareToolButtonPictures(*MainForm);
        fontsReady();
    }
    // The first frame shows neither dialog: they are made when first needed, at the latest by the first activation.
    MainForm->SetDialogMaker([platform] { CreateDialogs(platform); });
    // Until here the default action of a signal to end loses nothing.
    OnTerminationSignal([] { MainForm->close(); });
    MainForm->show();
    // The program's first window takes the focus, as it would on any desktop: its first activation loads the
    // options, also where no window manager hands the focus out.
    MainForm->activateWindow();
    // The window comes to the screen first; the mailslot and the refresh, whose sockets and threads take a few
    // milliseconds, right after.
    AfterFirstFrame(MainForm, [] { MainForm->FormCreate(); });
    QApplication::exec();
    DestroyForms();
    return 0;
}

int ParlinoMain(int argc, char** argv, const std::function<void(QApplication&)>& onApplication)
{
    // Qt takes the first thread that asks for its own for the main thread: this one, before any other can.
    QThread::currentThread();
    // Reading the font configuration takes longer than anything else before the first frame: it starts first.
    WarmUp fonts(ReadFontConfiguration);
    FlockInstanceLock lock;
    if (!FirstInstance(lock))
        return 0;
    // Sockets, threads and the first announcement are made while the application connects to the display. Nothing
    // of them waits for the main thread before the main window opens the mailslot.
    auto network = std::async(std::launch::async, [] { return std::make_unique<SystemNetwork>(); });
    QApplication application(argc, argv);
    std::optional<WarmUp> sessionBus;
    if (BridgeNeedsSessionBus())
        sessionBus.emplace(ConnectSessionBus);
    WarmUp fontDatabase([&fonts] {
        fonts.Wait();
        LoadFontDatabase();
    });
    QApplication::setApplicationName(QStringLiteral("Parlino"));
    QApplication::setDesktopFileName(QStringLiteral("parlino"));
    const Translations translations(QLocale::system().uiLanguages(), Translations::Folder());
    if (onApplication)
        onApplication(application);
    SystemPlatform system(network.get());
    return RunParlino(system.Services(), system.SmbRoute(), [&fontDatabase] { fontDatabase.Wait(); });
}

} // namespace parlino
