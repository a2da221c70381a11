#pragma once

#include <QApplication>

#include <functional>

namespace parlino {

// Runs a benchmark that needs widgets, on the offscreen platform unless the environment names another one, so that
// it measures the same with or without a display.
inline int RunOffscreen(int& argc, char** argv, const std::function<void()>& run)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    run();
    return 0;
}

} // namespace parlino
