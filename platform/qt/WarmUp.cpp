#include "platform/qt/WarmUp.h"

#include <QDBusConnection>
#include <QFontDatabase>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

namespace parlino {

WarmUp::WarmUp(std::function<void()> work) : worker_(std::move(work)) {}

WarmUp::~WarmUp()
{
    Wait();
}

void WarmUp::Wait()
{
    if (worker_.joinable())
        worker_.join();
}

void ReadFontConfiguration()
{
    FcInit();
}

void LoadFontDatabase()
{
    // The database is shared by all threads and filled once, under its lock, by the first that asks.
    static_cast<void>(QFontDatabase::families());
}

bool BridgeNeedsSessionBus()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

void ConnectSessionBus()
{
    // Made once per process: later calls on any thread find the connection made, or the failure known.
    static_cast<void>(QDBusConnection::sessionBus());
}

} // namespace parlino
