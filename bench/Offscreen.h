#pragma once

#include <QApplication>

#include <cstdlib>
#include <functional>

namespace parlino {

// Runs a benchmark that needs widgets, on the offscreen platform unless the environment names another one, so that
// it measures the same with or without a display.
inline int RunOffscreen(int& argc, char** argv, const std::function<void()>& run)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    run();
    return 0;
}

} // namespace parlino
