// The start-up benchmark's baseline: a bare window of Parlino's size, in a program linked only to Qt Widgets.
#include "bench/FirstFrameReport.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    FirstFrameReport report;
    application.installEventFilter(&report);
    QWidget window;
    window.resize(391, 240);
    window.show();
    return QApplication::exec();
}
