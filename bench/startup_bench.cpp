// Time from process start to the main window shown, against a bare Qt window in the same run.
// Each case is a fresh process; the parent times it from launch until the child reports its first
// exposed window. Runs on the offscreen platform unless a display is set, on loopback only.
#include "app/Startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRuns = 31;

// Tells the parent on the first exposed window, then ends the event loop.
class FirstExpose final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && qobject_cast<QWindow*>(watched) && !reported_) {
            reported_ = true;
            std::puts("shown");
            std::fflush(stdout);
            QCoreApplication::quit();
        }
        return false;
    }

private:
    bool reported_ = false;
};

int Child(int argc, char** argv, bool parlino)
{
    FirstExpose watcher;
    if (parlino)
        return parlino::ParlinoMain(argc, argv, [&watcher](QApplication& application) {
            application.installEventFilter(&watcher);
        });
    QApplication application(argc, argv);
    application.installEventFilter(&watcher);
    QWidget window;
    window.resize(391, 240);
    window.show();
    return QApplication::exec();
}

double LaunchMs(const char* mode, const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QLatin1String(mode)});
    while (!child.canReadLine() && child.waitForReadyRead(10000)) {
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(10000);
    return ms;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return Child(argc, argv, std::strcmp(argv[2], "parlino") == 0);

    QCoreApplication application(argc, argv);
    QTemporaryDir session;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const bool offscreen = env.value(QStringLiteral("DISPLAY")).isEmpty();
    if (offscreen)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), session.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), session.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("PARLINO_INTERFACES"), QStringLiteral("lo"));
    env.insert(QStringLiteral("PARLINO_NBT_PORT"), QStringLiteral("41386"));
    env.insert(QStringLiteral("PARLINO_NETBIOS_NAME"), QStringLiteral("BENCHSTART"));

    std::vector<double> bareTimes;
    std::vector<double> parlinoTimes;
    for (int run = 0; run < kRuns; ++run)
        bareTimes.push_back(LaunchMs("bare", env));
    for (int run = 0; run < kRuns; ++run)
        parlinoTimes.push_back(LaunchMs("parlino", env));
    const double bare = Median(bareTimes);
    const double parlino = Median(parlinoTimes);
    std::printf("startup to window shown (%s), median of %d runs each:\n",
                offscreen ? "offscreen" : "X display", kRuns);
    std::printf("  bare Qt window  %7.1f ms\n", bare);
    std::printf("  Parlino         %7.1f ms  (%.2fx, target within 1.5x)\n", parlino, parlino / bare);
    return 0;
}
