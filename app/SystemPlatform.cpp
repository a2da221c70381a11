#include "app/SystemPlatform.h"

#include "app/ParlinoUnit.h"

#include <QCoreApplication>

namespace parlino {

SystemPlatform::SystemPlatform(std::unique_ptr<SystemNetwork> network)
    : network_(std::move(network)), messenger_(network_->messenger), browser_(network_->browser),
      computerName_(messenger_.Identity()), profiles_(FileProfileStore::DefaultFolder())
{
    // Told on the registration's thread, perhaps before the main window exists: it reads the notice once the event
    // loop runs.
    messenger_.OnNameRefused([](const NameRefusal& refusal) {
        QMetaObject::invokeMethod(
            qApp,
            [refusal] {
                if (MainForm)
                    MainForm->ShowNotice(RefusalText(refusal, [](const char* text) {
                        return QCoreApplication::translate("parlino::WinsRegistration", text);
                    }));
            },
            Qt::QueuedConnection);
    });
}

Platform SystemPlatform::Services()
{
    return Platform{.mailslots = messenger_.Mailslots(),
                    .clock = messenger_.TickClock(),
                    .timers = timers_,
                    .oemCodePage = messenger_.OemCodePage(),
                    .computerName = computerName_,
                    .shell = shell_,
                    .machine = machine_,
                    .messageBoxes = messageBoxes_,
                    .notifyArea = notifyArea_,
                    .notifications = notifications_,
                    .screen = screen_,
                    .profiles = profiles_,
                    .sound = sound_,
                    .files = files_,
                    .fileChooser = fileChooser_,
                    .fontChooser = fontChooser_,
                    .networkBrowser = &browser_.Service(),
                    .datagramPort = messenger_.Identity().datagramPort};
}

StationSender::SmbRoute SystemPlatform::SmbRoute()
{
    return messenger_.StationRoute([this](const QString& station) { return browser_.Service().IsUnixServer(station); });
}

} // namespace parlino
