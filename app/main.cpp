#include "app/Startup.h"
#include "app/SystemPlatform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    parlino::FlockInstanceLock lock;
    if (!parlino::FirstInstance(lock))
        return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlino"));
    QApplication::setDesktopFileName(QStringLiteral("parlino"));
    parlino::SystemPlatform system;
    return parlino::RunParlino(system.Services());
}
