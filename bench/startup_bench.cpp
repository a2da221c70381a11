// Time from process start to the main window's first frame, against a bare Qt window in the same run.
// Each case is a fresh process (the bare window a program linked only to Qt Widgets); the parent times
// it from launch until the child reports its first painted frame. Measured on the offscreen platform
// and on a private Xvfb display; loopback only.
#include "app/Startup.h"
#include "bench/FirstFrameReport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRuns = 31;
constexpr int kPauseMs = 200;

int ParlinoChild(int argc, char** argv)
{
    FirstFrameReport report;
    return parlino::ParlinoMain(argc, argv,
                                [&report](QApplication& application) { application.installEventFilter(&report); });
}

double LaunchMs(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    // A start follows a quiet moment, as when someone starts the program, not the previous run's exit.
    QThread::msleep(kPauseMs);
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    while (!child.canReadLine() && child.waitForReadyRead(10000)) {
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(10000);
    return ms;
}

// The value below which the given share of the times lies (nearest rank).
double Quantile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[static_cast<size_t>(std::lround(share * static_cast<double>(times.size() - 1)))];
}

double Median(const std::vector<double>& times)
{
    return Quantile(times, 0.5);
}

// The cases on one platform, in turn, so that a change in the machine's load affects both alike.
void Report(const char* platform, const QProcessEnvironment& env)
{
    std::vector<double> bareTimes;
    std::vector<double> labelTimes;
    std::vector<double> labelBesideTimes;
    std::vector<double> parlinoTimes;
    std::vector<double> parlinoRatios;
    const QString bareWindow = QCoreApplication::applicationDirPath() + QStringLiteral("/startup_bare_window");
    for (int run = 0; run < kRuns; ++run) {
        bareTimes.push_back(LaunchMs(bareWindow, {}, env));
        labelTimes.push_back(LaunchMs(bareWindow, {QStringLiteral("--label")}, env));
        labelBesideTimes.push_back(LaunchMs(bareWindow, {QStringLiteral("--label-fonts-beside")}, env));
        parlinoTimes.push_back(LaunchMs(QCoreApplication::applicationFilePath(), {QStringLiteral("--parlino")}, env));
        parlinoRatios.push_back(parlinoTimes.back() / bareTimes.back());
    }
    const double bare = Median(bareTimes);
    const auto line = [bare](const char* name, double ms, const char* note) {
        std::printf("  %-40s %7.1f ms  (%.2fx the bare window%s)\n", name, ms, ms / bare, note);
    };
    std::printf("startup to first frame (%s), median of %d runs each:\n", platform, kRuns);
    std::printf("  %-40s %7.1f ms\n", "bare Qt window", bare);
    line("Qt window with one label", Median(labelTimes), "");
    // What reading the fonts on threads beside the application object, as Parlino does, saves a window with text.
    line("the same, fonts read beside the window", Median(labelBesideTimes), "");
    line("Parlino", Median(parlinoTimes), ", target within 1.5x");
    // The spread shows how far one comparison can be trusted on a shared machine.
    std::printf("  Parlino / bare, round by round: median %.2fx, quartiles %.2fx-%.2fx\n", Median(parlinoRatios),
                Quantile(parlinoRatios, 0.25), Quantile(parlinoRatios, 0.75));
    std::fflush(stdout);
}

// A private X server, so that the figures include the connection to a display, as on a desktop.
class VirtualDisplay final
{
public:
    VirtualDisplay()
    {
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
        while (server_.waitForReadyRead(10000) && !server_.canReadLine()) {
        }
        if (server_.canReadLine())
            name_ = QStringLiteral(":") + QString::fromLatin1(server_.readLine().trimmed());
    }

    ~VirtualDisplay()
    {
        server_.terminate();
        server_.waitForFinished(5000);
    }

    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Empty when Xvfb could not be started.
    QString Name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--parlino") == 0)
        return ParlinoChild(argc, argv);

    QCoreApplication application(argc, argv);
    QTemporaryDir session;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), session.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), session.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("PARLINO_INTERFACES"), QStringLiteral("lo"));
    env.insert(QStringLiteral("PARLINO_NBT_PORT"), QStringLiteral("41386"));
    env.insert(QStringLiteral("PARLINO_NETBIOS_NAME"), QStringLiteral("BENCHSTART"));

    QProcessEnvironment offscreen = env;
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Report("offscreen", offscreen);

    VirtualDisplay display;
    if (display.Name().isEmpty()) {
        std::puts("startup on an X display: not measured, Xvfb could not be started");
        return 0;
    }
    QProcessEnvironment x11 = env;
    x11.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    x11.insert(QStringLiteral("DISPLAY"), display.Name());
    Report("X display, Xvfb", x11);
    return 0;
}
