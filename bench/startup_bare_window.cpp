// The start-up benchmark's baseline: a bare window of Parlino's size, in a program linked only to Qt Widgets.
// With --label the window holds one line of text, which shows what any text costs at start (fonts). With
// --label-fonts-beside the font configuration and the font database are read on threads of their own while the
// application object is made and the window built, as Parlino reads them: what that saves a window with text.
#include "bench/FirstFrameReport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QWidget>

#include <fontconfig/fontconfig.h>
#include <string_view>
#include <thread>

int main(int argc, char** argv)
{
    const std::string_view mode = argc == 2 ? argv[1] : "";
    const bool fontsBeside = mode == "--label-fonts-beside";
    std::thread configuration;
    if (fontsBeside)
        configuration = std::thread([] { FcInit(); });
    QApplication application(argc, argv);
    std::thread database;
    if (fontsBeside)
        database = std::thread([&configuration] {
            configuration.join();
            static_cast<void>(QFontDatabase::families());
        });
    FirstFrameReport report;
    application.installEventFilter(&report);
    QWidget window;
    window.resize(391, 240);
    if (fontsBeside || mode == "--label")
        new QLabel(QStringLiteral("Network"), &window);
    if (database.joinable())
        database.join();
    window.show();
    return QApplication::exec();
}
