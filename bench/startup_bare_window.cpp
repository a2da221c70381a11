// The start-up benchmark's baseline: a bare window of Parlino's size, in a program linked only to Qt Widgets.
// With --label the window holds one line of text, which shows what any text costs at start (fonts).
#include "bench/FirstFrameReport.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    const bool label = argc == 2 && std::strcmp(argv[1], "--label") == 0;
    QApplication application(argc, argv);
    FirstFrameReport report;
    application.installEventFilter(&report);
    QWidget window;
    window.resize(391, 240);
    if (label)
        new QLabel(QStringLiteral("Network"), &window);
    window.show();
    return QApplication::exec();
}
