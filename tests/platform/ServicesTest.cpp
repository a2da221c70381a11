#include "platform/ByteText.h"
#include "platform/CodePage.h"
#include "platform/HostNameClaims.h"
#include "platform/LinuxUdpNetwork.h"
#include "platform/LocalMailslots.h"
#include "platform/NetworkIdentity.h"
#include "platform/ReachableNames.h"
#include "tests/support/Files.h"
#include "tests/support/Wait.h"

#include <QTemporaryDir>

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace parlino {
namespace {

TEST(NetworkIdentityTest, SambaGlobalSectionAndDefaults)
{
    const QString conf = QStringLiteral("# comment\n"
                                        "[global]\n"
                                        "   NetBIOS Name = myhost\n"
                                        "   workgroup = office\n"
                                        "   ; dos charset = CP437\n"
                                        "   dos charset = CP852\n"
                                        "   interfaces = eth0 192.168.1.0/24, \\\n     lo\n"
                                        "   wins server = 10.1.0.1, wins.example.org 10.2.0.1:branch 10.3.0.300\n"
                                        "[homes]\n"
                                        "   workgroup = WRONG\n");
    const NetworkIdentity identity = ParseSambaIdentity(conf, QStringLiteral("ignored.example.org"));
    EXPECT_EQ(identity.netbiosName, QStringLiteral("MYHOST"));
    EXPECT_EQ(identity.workgroup, QStringLiteral("OFFICE"));
    EXPECT_EQ(identity.dosCharset, QStringLiteral("CP852"));
    EXPECT_EQ(identity.interfaces, (QStringList{"eth0", "192.168.1.0/24", "lo"}));
    EXPECT_EQ(identity.winsServers, (std::vector<uint32_t>{0x0A010001, 0x0A020001}));
    const QString windowsLines = QStringLiteral("[global]\r\n interfaces = eth0,\\\r\n\teth1\r\n");
    EXPECT_EQ(ParseSambaIdentity(windowsLines, "h").interfaces, (QStringList{"eth0", "eth1"}));

    const NetworkIdentity bare = ParseSambaIdentity(QString(), QStringLiteral("a-very-long-hostname-here.lan"));
    EXPECT_EQ(bare.netbiosName, QStringLiteral("A-VERY-LONG-HOS"));
    EXPECT_EQ(bare.workgroup, QStringLiteral("WORKGROUP"));
    EXPECT_EQ(bare.dosCharset, QStringLiteral("CP850"));
    EXPECT_TRUE(bare.interfaces.isEmpty());
    EXPECT_TRUE(bare.winsServers.empty());
}

TEST(NetworkIdentityTest, EnvironmentOverridesTheConfiguration)
{
    std::map<std::string, QString> env = {{"PARLINO_NETBIOS_NAME", "alice"},
                                          {"PARLINO_WORKGROUP", "lab"},
                                          {"PARLINO_INTERFACES", "lo,eth1"},
                                          {"PARLINO_NBT_PORT", "41380"},
                                          {"PARLINO_NBSS_PORT", "41381"}};
    const auto lookup = [&](const char* name) { return env.contains(name) ? env[name] : QString(); };
    NetworkIdentity identity = LoadNetworkIdentity(QStringLiteral("/nonexistent/smb.conf"), "host", lookup);
    EXPECT_EQ(identity.netbiosName, QStringLiteral("ALICE"));
    EXPECT_EQ(identity.workgroup, QStringLiteral("LAB"));
    EXPECT_EQ(identity.interfaces, (QStringList{"lo", "eth1"}));
    EXPECT_EQ(identity.datagramPort, 41380);
    EXPECT_EQ(identity.sessionPort, 41381);
    env["PARLINO_NBT_PORT"] = "70000";
    env["PARLINO_NBSS_PORT"] = "0";
    identity = LoadNetworkIdentity("/nonexistent", "host", lookup);
    EXPECT_EQ(identity.datagramPort, 138);
    EXPECT_EQ(identity.sessionPort, 139);

    QTemporaryDir folder;
    const QString conf = folder.filePath("smb.conf");
    ASSERT_TRUE(test::WriteWholeFile(conf, "[global]\nwins server = 10.1.0.1\n"));
    const std::pair<QString, std::vector<uint32_t>> winsRows[] = {
        {QString(), {0x0A010001}},
        {"", {}},
        {"10.9.0.1,10.9.0.2", {0x0A090001, 0x0A090002}},
    };
    for (const auto& [value, servers] : winsRows) {
        env["PARLINO_WINS_SERVER"] = value;
        EXPECT_EQ(LoadNetworkIdentity(conf, "host", lookup).winsServers, servers) << value.toStdString();
    }
}

TEST(CodePageTest, Cp850BothWaysWithQuestionMarksForTheRest)
{
    const IconvCodePage cp850(QStringLiteral("CP850"));
    EXPECT_EQ(cp850.ToOem(QStringLiteral("Grüße é ☺")), QByteArray("Gr\x81\xe1"
                                                                   "e \x82 ?"));
    EXPECT_EQ(cp850.FromOem(QByteArray("Gr\x81\xe1"
                                       "e")),
              QStringLiteral("Grüße"));
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(static_cast<char>(b));
    EXPECT_EQ(cp850.ToOem(cp850.FromOem(everyByte)), everyByte);
    // An unknown code page falls back to CP850 rather than failing.
    EXPECT_EQ(IconvCodePage(QStringLiteral("NO-SUCH-CHARSET")).Name(), QStringLiteral("CP850"));
    EXPECT_EQ(IconvCodePage(QStringLiteral("CP866")).ToOem(QStringLiteral("Привет")),
              QByteArray("\x8f\xe0\xa8\xa2\xa5\xe2"));
}

// A file name need not be UTF-8: the bytes read from a settings file must name the same file when written back or
// opened.
TEST(ByteTextTest, EveryByteStringComesBackAndUtf8ReadsAsAlways)
{
    for (const std::string bytes :
         {"caf\xc3\xa9", "caf\xe9", "\xed\xa0\x80", "\xc3", "\xf4\x90\x80\x80", "\xf0\x9f\x98\x80\xff"})
        EXPECT_EQ(BytesOfText(TextOfBytes(bytes)), bytes);
    EXPECT_EQ(TextOfBytes("caf\xc3\xa9 \xf0\x9f\x98\x80"), QString::fromUtf8("caf\xc3\xa9 \xf0\x9f\x98\x80"));

    QTemporaryDir folder;
    const QByteArray native = QFile::encodeName(folder.path()) + "/caf\xe9.wav";
    ASSERT_TRUE(test::WriteWholeFile(folder.filePath(QString::fromUtf8("caf\xef\xbf\xbd.wav")), "another file"));
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(fd, "this file", 9), 9);
    ::close(fd);
    ReachableNames names;
    QFile file(names.Of(TextOfBytes(native.toStdString())));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "this file");
}

TEST(LocalMailslotsTest, WholeMessagesInOrderAndAWaitThatTakesNothing)
{
    LocalMailslots inboxes;
    const MailslotHandle handle = inboxes.Create("messngr", 0, kMailslotWaitForever);
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        uint32_t read = 0;
        EXPECT_FALSE(inboxes.Read(handle, nullptr, 0, &read));
        woke = true;
    });
    ASSERT_TRUE(test::WaitUntil([&] { return inboxes.ReadersInside() == 1; }));
    EXPECT_FALSE(woke);
    ASSERT_TRUE(inboxes.Deliver("MESSNGR", {})); // even an empty message wakes the waiter
    waiter.join();
    ASSERT_TRUE(inboxes.Deliver("Messngr", {'a', 'b', 'c'}));
    uint32_t next = 0, count = 0;
    ASSERT_TRUE(inboxes.Info(handle, &next, &count));
    EXPECT_EQ(next, 0u);
    EXPECT_EQ(count, 2u);

    char buffer[8] = {};
    uint32_t read = 99;
    EXPECT_TRUE(inboxes.Read(handle, buffer, 0, &read)); // the empty one, still there for its reader
    EXPECT_EQ(read, 0u);
    EXPECT_FALSE(inboxes.Read(handle, buffer, 2, &read)); // too small: the message stays
    EXPECT_TRUE(inboxes.Read(handle, buffer, sizeof buffer, &read));
    EXPECT_EQ(std::string(buffer, read), "abc");
    EXPECT_FALSE(inboxes.Deliver("other", {'x'}));
}

TEST(LocalMailslotsTest, AnInboxWhoseReaderIsHeldUpTakesNoMoreThanItsQuota)
{
    LocalMailslots inboxes;
    const MailslotHandle handle = inboxes.Create("messngr", 0, 0);
    const std::vector<uint8_t> large(65000, 'x');
    size_t taken = 0;
    while (inboxes.Deliver("messngr", large) && taken < 1000)
        ++taken;
    EXPECT_EQ(taken, LocalMailslots::kInboxQuota / (large.size() + LocalMailslots::kMessageOverhead));
    size_t small = 0;
    while (inboxes.Deliver("messngr", {'h', 'i'}) && small < 100000)
        ++small;
    EXPECT_LT(small, large.size() / LocalMailslots::kMessageOverhead) << "small messages only fill what is left";

    std::vector<uint8_t> buffer(large.size());
    uint32_t read = 0;
    ASSERT_TRUE(inboxes.Read(handle, buffer.data(), static_cast<uint32_t>(buffer.size()), &read));
    ASSERT_TRUE(inboxes.Discard(handle));
    EXPECT_TRUE(inboxes.Deliver("messngr", large)) << "what is read makes room again";
}

TEST(LocalMailslotsTest, ClosingReleasesABlockedWait)
{
    LocalMailslots inboxes;
    const MailslotHandle handle = inboxes.Create("s", 0, kMailslotWaitForever);
    std::thread waiter([&] {
        uint32_t read = 0;
        inboxes.Read(handle, nullptr, 0, &read);
    });
    ASSERT_TRUE(test::WaitUntil([&] { return inboxes.ReadersInside() == 1; }));
    EXPECT_TRUE(inboxes.Close(handle));
    waiter.join();
    uint32_t read = 0;
    EXPECT_FALSE(inboxes.Read(handle, nullptr, 0, &read));
}

TEST(HostNameClaimsTest, OneHolderAtATimeAndOnlyAHolderCountsAsOne)
{
    AbstractSocketClaims claims;
    const std::string name = "test/" + std::to_string(QCoreApplication::applicationPid());
    auto first = claims.TryClaim(name);
    ASSERT_TRUE(first.claim);
    const auto second = claims.TryClaim(name);
    EXPECT_FALSE(second.claim);
    EXPECT_TRUE(second.heldElsewhere);
    first.claim.reset();
    EXPECT_TRUE(claims.TryClaim(name).claim);

    const auto tooLong = claims.TryClaim(std::string(200, 'x'));
    EXPECT_FALSE(tooLong.claim || tooLong.heldElsewhere);
    // With no descriptor left the system refuses; nobody holds the name.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    const rlimit exhausted{static_cast<rlim_t>(lowestFree), limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &exhausted), 0);
    const auto noDescriptor = claims.TryClaim(name);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_FALSE(noDescriptor.claim || noDescriptor.heldElsewhere);
}

TEST(LinuxUdpNetworkTest, LoopbackBroadcastReachesEveryListenerOfThePort)
{
    LinuxUdpNetwork network({"lo"});
    const auto targets = network.BroadcastTargets();
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].broadcastAddress, 0x7FFFFFFFu);

    constexpr uint16_t kPort = 41397;
    std::atomic<int> first{0}, second{0};
    auto a = network.Listen(kPort, [&](const uint8_t*, size_t size, uint32_t, uint16_t port) {
        EXPECT_EQ(port, kPort);
        first += static_cast<int>(size);
    });
    std::atomic<int> secondFromPort{0};
    auto b = network.Listen(kPort, [&](const uint8_t*, size_t size, uint32_t, uint16_t port) {
        second += static_cast<int>(size);
        secondFromPort = port;
    });
    ASSERT_TRUE(a && b);
    uint32_t builtFor = 0;
    EXPECT_TRUE(network.Broadcast(kPort, [&](uint32_t local) {
        builtFor = local;
        return Bytes{1, 2, 3};
    }));
    EXPECT_EQ(builtFor >> 24, 127u);
    EXPECT_TRUE(test::WaitUntil([&] { return first == 3 && second == 3; }));

    // Sent to this host's own address, a frame still reaches both: they share one socket.
    EXPECT_TRUE(network.SendTo(0x7F000001u, kPort, Bytes{5, 6}, kPort));
    EXPECT_TRUE(test::WaitUntil([&] { return first == 5 && second == 5; }));

    // With one of two listeners gone, frames still leave from the shared port.
    a.reset();
    EXPECT_TRUE(network.Broadcast(kPort, [](uint32_t) { return Bytes{4}; }));
    EXPECT_TRUE(test::WaitUntil([&] { return second == 6; }));
    EXPECT_EQ(secondFromPort, kPort);

    // The last listener gone, the port is free for a new one.
    b.reset();
    std::atomic<int> third{0};
    auto c = network.Listen(kPort,
                            [&](const uint8_t*, size_t size, uint32_t, uint16_t) { third += static_cast<int>(size); });
    ASSERT_TRUE(c);
    EXPECT_TRUE(network.SendTo(0x7F000001u, kPort, Bytes{7}, kPort));
    EXPECT_TRUE(test::WaitUntil([&] { return third == 1; }));
    EXPECT_EQ(first, 5);
}

TEST(LinuxUdpNetworkTest, InterfacesGivenConfineItToTheirNetworks)
{
    LinuxUdpNetwork loopbackOnly({"lo"});
    EXPECT_TRUE(loopbackOnly.SendTo(0x7F000001u, 41396, Bytes{1}, 41396));
    // 0.0.0.0 is not on loopback's network, yet Linux would deliver it to this host: even if this failed,
    // nothing would leave the machine.
    EXPECT_FALSE(loopbackOnly.SendTo(0u, 41396, Bytes{1}, 41396)) << "0.0.0.0 is not on loopback";

    // A network with its mask, as smb.conf may give it, selects the interfaces on it.
    for (const char* entry : {"127.0.0.0/8", "127.0.0.1", "127.0.0.0/255.0.0.0", "127.9.9.9/8", "127.0.0.1/32"})
        EXPECT_EQ(LinuxUdpNetwork({entry}).BroadcastTargets().size(), 1u) << entry;
    for (const char* entry :
         {"127.0.0.0/33", "127.0.0.0/x", "127.0.0.0", "126.0.0.0/8", "127.0.0.0/255.0.0", "127.0.0.0/"})
        EXPECT_TRUE(LinuxUdpNetwork({entry}).BroadcastTargets().empty()) << entry;

    LinuxUdpNetwork mistyped({"nosuchif0"});
    EXPECT_TRUE(mistyped.BroadcastTargets().empty());
    EXPECT_FALSE(mistyped.Broadcast(41396, [](uint32_t) { return Bytes{1}; })) << "no fallback to loopback";
}

TEST(LinuxUdpNetworkTest, AListenerMayAnswerWhileOthersComeAndGoOnItsPort)
{
    LinuxUdpNetwork network({"lo"});
    constexpr uint16_t kPort = 41398;
    constexpr uint16_t kAnswerPort = 41399;
    std::atomic<int> answers{0};
    auto asker = network.Listen(kAnswerPort, [&](const uint8_t*, size_t, uint32_t, uint16_t) { ++answers; });
    auto answerer = network.Listen(kPort, [&](const uint8_t* data, size_t size, uint32_t ip, uint16_t port) {
        network.SendTo(ip, port, Bytes(data, data + size), kPort);
    });
    ASSERT_TRUE(asker && answerer);
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(network.SendTo(0x7F000001u, kPort, Bytes{1}, kAnswerPort));
        auto passing = network.Listen(kPort, [](const uint8_t*, size_t, uint32_t, uint16_t) {});
        ASSERT_TRUE(passing);
    }
    EXPECT_TRUE(test::WaitUntil([&] { return answers == 200; }));
}

} // namespace
} // namespace parlino
