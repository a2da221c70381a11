// CPU cost of an animated tray icon: one icon stepping every 150 ms for 10 seconds on the offscreen
// platform, through the fake notification area. Prints the process CPU time over that span.
#include "bench/Offscreen.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/qt/FakeNotifyArea.h"
#include "tray/RxTrayIcon.h"
#include "tray/TrayPictures.h"

#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv)
{
    return parlino::RunOffscreen(argc, argv, [] {
        constexpr int kSeconds = 10;
        constexpr quint16 kInterval = 150;

        parlino::fake::FakeNotifyArea area;
        parlino::SystemClock clock;
        parlino::fake::FakeMessageBoxes boxes;
        parlino::TRxTrayIcon tray(nullptr, area, clock, boxes);
        tray.SetHint(QStringLiteral("Parlino"));
        tray.SetIcon(parlino::TrayPictures::Still());
        parlino::TrayPictures::LoadMessageFrames(tray.Icons());
        tray.SetInterval(kInterval);

        const double cpuBefore = CpuSeconds();
        tray.SetAnimated(true);
        // Counted from here, every change of the icon is a frame step.
        const int stepsBefore = area.CountOf(parlino::NotifyIconMessage::Modify);
        QTimer::singleShot(kSeconds * 1000, Qt::PreciseTimer, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();
        const int steps = area.CountOf(parlino::NotifyIconMessage::Modify) - stepsBefore;
        tray.SetAnimated(false);
        const double cpu = CpuSeconds() - cpuBefore;

        std::printf("animated tray icon, interval %u ms, %d s\n", kInterval, kSeconds);
        std::printf("  frame steps:  %d (expected about %d)\n", steps, kSeconds * 1000 / kInterval);
        std::printf("  CPU time:     %.1f ms\n", cpu * 1000.0);
        std::printf("  CPU share:    %.3f %% of one core (target < 0.5 %%)\n", cpu / kSeconds * 100.0);
    });
}
