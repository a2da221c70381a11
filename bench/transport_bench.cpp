// Measures the messenger transport on loopback: latency of send -> OnMessage on the main thread
// against raw UDP send -> receive, the same for an SMB message from connect on, a burst of 1,000
// datagrams, and the CPU an idle listener uses.
#include "transport/MailSlot.h"
#include "transport/SmbMessageSender.h"
#include "transport/SystemMessenger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace parlino;

constexpr uint16_t kPort = 41391;
constexpr int kSamples = 500;
constexpr int kBurst = 1000;
constexpr int kGapMs = 25; // an idle receiver: past the wait thread's 10 ms pause, blocked in its wait

NetworkIdentity Station(const char* name)
{
    NetworkIdentity identity;
    identity.netbiosName = QString::fromLatin1(name);
    identity.workgroup = QStringLiteral("BENCH");
    identity.dosCharset = QStringLiteral("CP850");
    identity.interfaces = {QStringLiteral("lo")};
    identity.datagramPort = kPort;
    identity.sessionPort = kPort + 4;
    return identity;
}

struct Percentiles
{
    double median;
    double p99;
};

Percentiles Summarise(std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

Percentiles RawUdp()
{
    const int receiver = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(kPort + 1);
    if (::bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("bind");
        std::abort();
    }
    std::vector<double> micros;
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> receivedAt{0};
    std::thread reader([&] {
        char buffer[2048];
        for (int i = 0; i < kSamples; ++i) {
            ::recv(receiver, buffer, sizeof buffer, 0);
            receivedAt = clock.nsecsElapsed();
        }
    });
    const char payload[] = "ALICE\0BOB\0a message of ordinary length for a chat";
    for (int i = 0; i < kSamples; ++i) {
        receivedAt = 0;
        const qint64 sent = clock.nsecsElapsed();
        ::sendto(sender, payload, sizeof payload, 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
        while (receivedAt == 0)
            std::this_thread::yield();
        micros.push_back(static_cast<double>(receivedAt - sent) / 1000.0);
        QThread::msleep(kGapMs);
    }
    reader.join();
    ::close(receiver);
    ::close(sender);
    return Summarise(micros);
}

// Raw UDP read by the main thread's event loop, the way a Qt program without our transport would.
Percentiles RawUdpToMainThread()
{
    QUdpSocket receiver;
    receiver.bind(QHostAddress::LocalHost, kPort + 3);
    QUdpSocket sender;
    QElapsedTimer clock;
    clock.start();
    qint64 receivedAt = 0;
    QObject::connect(&receiver, &QUdpSocket::readyRead, [&] {
        while (receiver.hasPendingDatagrams())
            receiver.receiveDatagram();
        receivedAt = clock.nsecsElapsed();
    });
    const QByteArray payload("ALICE\0BOB\0a message of ordinary length for a chat", 50);
    std::vector<double> micros;
    for (int i = 0; i < kSamples; ++i) {
        receivedAt = 0;
        const qint64 sent = clock.nsecsElapsed();
        sender.writeDatagram(payload, QHostAddress::LocalHost, kPort + 3);
        while (receivedAt == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        micros.push_back(static_cast<double>(receivedAt - sent) / 1000.0);
        QThread::msleep(kGapMs);
    }
    return Summarise(micros);
}

// A single-block SMB message from connect to OnMessage on the main thread; the sender runs on a thread of
// its own, as it blocks until the receiver answers.
Percentiles SmbMessages(SystemMessenger& tx, uint16_t sessionPort, const qint64& receivedAt, const QElapsedTimer& clock)
{
    SmbMessageSender sender(tx.Network(), tx.Streams(), {0, sessionPort});
    std::vector<double> micros;
    for (int i = 0; i < kSamples; ++i) {
        const qint64 sent = clock.nsecsElapsed();
        std::atomic<bool> failed{false};
        std::string failure;
        std::thread send([&] {
            failure = sender.Send(0x7F000001, "BENCHRX", "BENCHTX", "BENCHTX",
                                  "an SMB message of ordinary length " + std::to_string(i));
            if (!failure.empty()) {
                failed = true;
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
            }
        });
        while (receivedAt < sent && !failed)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        send.join();
        if (failed) {
            std::printf("SMB message: %s\n", failure.c_str());
            return {0, 0};
        }
        micros.push_back(static_cast<double>(receivedAt - sent) / 1000.0);
        QThread::msleep(kGapMs);
    }
    return Summarise(micros);
}

void Messenger()
{
    SystemMessenger rx(Station("BENCHRX"));
    SystemMessenger tx(Station("BENCHTX"), SystemMessenger::SmbReceiving::Off);
    TWinPopup receiver(nullptr, rx.Mailslots(), rx.TickClock(), rx.OemCodePage());
    TWinPopup sender(nullptr, tx.Mailslots(), tx.TickClock(), tx.OemCodePage());
    QElapsedTimer clock;
    clock.start();
    qint64 receivedAt = 0;
    std::vector<QString> texts;
    receiver.OnMessage = [&](QObject*, const QString&, const QString&, const QString& text) {
        receivedAt = clock.nsecsElapsed();
        texts.push_back(text);
    };
    receiver.SetActive(true);

    std::vector<double> micros;
    for (int i = 0; i < kSamples; ++i) {
        receivedAt = 0;
        const qint64 sent = clock.nsecsElapsed();
        sender.Send(QStringLiteral("BENCHRX"), QStringLiteral("BENCHTX"), QStringLiteral("BENCHRX"),
                    QStringLiteral("a message of ordinary length for a chat %1").arg(i));
        while (receivedAt == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        micros.push_back(static_cast<double>(receivedAt - sent) / 1000.0);
        QThread::msleep(kGapMs);
    }
    const Percentiles ours = Summarise(micros);
    const Percentiles raw = RawUdp();
    std::printf("send -> OnMessage (main thread): median %.1f us, p99 %.1f us\n", ours.median, ours.p99);
    std::printf("raw UDP send -> receive:         median %.1f us, p99 %.1f us\n", raw.median, raw.p99);
    std::printf("ratio of medians: %.2fx (target within 3x)\n", ours.median / raw.median);
    const Percentiles smb = SmbMessages(tx, rx.Identity().sessionPort, receivedAt, clock);
    std::printf("SMB message, connect -> OnMessage (main thread): median %.1f us, p99 %.1f us (%.2fx the mailslot "
                "route's median)\n",
                smb.median, smb.p99, smb.median / ours.median);
    const Percentiles rawMain = RawUdpToMainThread();
    std::printf("raw UDP to the main thread's event loop: median %.1f us, p99 %.1f us (ratio %.2fx)\n", rawMain.median,
                rawMain.p99, ours.median / rawMain.median);

    texts.clear();
    const qint64 start = clock.nsecsElapsed();
    for (int i = 0; i < kBurst; ++i)
        sender.Send(QStringLiteral("BENCHRX"), QStringLiteral("BENCHTX"), QStringLiteral("BENCHRX"),
                    QStringLiteral("burst %1").arg(i));
    QElapsedTimer patience;
    patience.start();
    while (texts.size() < kBurst && patience.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double ms = static_cast<double>(clock.nsecsElapsed() - start) / 1e6;
    bool inOrder = texts.size() == kBurst;
    for (size_t i = 0; inOrder && i < texts.size(); ++i)
        inOrder = texts[i] == QStringLiteral("burst %1").arg(i);
    std::printf("burst of %d datagrams: %zu delivered %s in %.1f ms\n", kBurst, texts.size(),
                inOrder ? "in order" : "OUT OF ORDER OR MISSING", ms);
}

double CpuSeconds(qint64 pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 0; i < 13 && stat >> field; ++i) {
    }
    long user = 0, system = 0;
    stat >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void IdleListener(const QString& tool)
{
    QProcess listener;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PARLINO_INTERFACES"), QStringLiteral("lo"));
    environment.insert(QStringLiteral("PARLINO_NBT_PORT"), QString::number(kPort + 2));
    environment.insert(QStringLiteral("PARLINO_NBSS_PORT"), QString::number(kPort + 5));
    environment.insert(QStringLiteral("PARLINO_NETBIOS_NAME"), QStringLiteral("BENCHIDLE"));
    listener.setProcessEnvironment(environment);
    listener.start(tool, {QStringLiteral("listen"), QStringLiteral("--timeout"), QStringLiteral("12")});
    if (!listener.waitForStarted()) {
        std::printf("idle listener: could not start %s\n", qPrintable(tool));
        return;
    }
    QThread::msleep(1000);
    const double before = CpuSeconds(listener.processId());
    QThread::msleep(10000);
    const double used = CpuSeconds(listener.processId()) - before;
    listener.waitForFinished(5000);
    std::printf("idle parlino-msg listen: %.3f s CPU in 10 s = %.3f%% of a core (target under 0.1%%)\n", used,
                used / 10.0 * 100.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Messenger();
    IdleListener(QCoreApplication::applicationDirPath() + QStringLiteral("/parlino-msg"));
    return 0;
}
