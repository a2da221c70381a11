// Time from process start to the main window shown, against a bare Qt window in the same run.
// Each case is a fresh process; the parent times it from launch until the child reports its first
// exposed window. Runs on the offscreen platform unless a display is set, on loopback only.
#include "app/Startup.h"
#include "app/SystemPlatform.h"

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

constexpr int kRuns = 15;

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
    if (parlino) {
        parlino::FlockInstanceLock lock;
        if (!parlino::FirstInstance(lock))
            return 1;
        QApplication application(argc, argv);
        FirstExpose watcher;
        application.installEventFilter(&watcher);
        parlino::SystemPlatform system;
        return parlino::RunParlino(system.Services());
    }
    QApplication application(argc, argv);
    FirstExpose watcher;
    application.installEventFilter(&watcher);
    QWidget window;
    window.resize(391, 240);
    window.show();
    return QApplication::exec();
}

double MedianMs(const char* mode, const QString& session)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (env.value(QStringLiteral("DISPLAY")).isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), session);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), session + QStringLiteral("/config"));
        env.insert(QStringLiteral("PARLINO_INTERFACES"), QStringLiteral("lo"));
        env.insert(QStringLiteral("PARLINO_NBT_PORT"), QStringLiteral("41386"));
        env.insert(QStringLiteral("PARLINO_NETBIOS_NAME"), QStringLiteral("BENCHSTART"));
        child.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QLatin1String(mode)});
        while (!child.canReadLine() && child.waitForReadyRead(10000)) {
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        child.waitForFinished(10000);
    }
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
    const double bare = MedianMs("bare", session.path());
    const double parlino = MedianMs("parlino", session.path());
    std::printf("startup to window shown, median of %d runs:\n", kRuns);
    std::printf("  bare Qt window  %7.1f ms\n", bare);
    std::printf("  Parlino         %7.1f ms  (%.2fx, target within 1.5x)\n", parlino, parlino / bare);
    return 0;
}
