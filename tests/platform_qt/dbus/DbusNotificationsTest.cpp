#include "platform/qt/DbusNotifications.h"

#include "tests/support/Wait.h"

#include <QDBusConnectionInterface>

namespace parlino {
namespace {

using test::WaitUntil;

const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";

struct Received
{
    uint replacesId;
    QString summary;
    QString body;
    QStringList actions;
};

// A notification service of the test's own, on a connection of its own to the private session bus.
class NotificationServer final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationServer(const QStringList& capabilities)
        : capabilities_(capabilities), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server"))
    {
        bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        bus_.registerService(kService);
    }
    ~NotificationServer() override
    {
        bus_.unregisterService(kService);
        QDBusConnection::disconnectFromBus("server");
    }

    std::vector<Received> received;

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities_; }
    uint Notify(const QString&, uint replacesId, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int)
    {
        received.push_back({replacesId, summary, body, actions});
        return replacesId ? replacesId : ++lastId_;
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    QStringList capabilities_;
    QDBusConnection bus_;
    uint lastId_ = 0;
};

// Whatever Qt would write to the terminal while the test runs.
QStringList logged;

class DbusNotificationsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        logged.clear();
        previousHandler_ = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& message) { logged.append(message); });
        notifications.OnClicked = [this](const QString& key) { clicked.append(key); };
    }
    void TearDown() override
    {
        qInstallMessageHandler(previousHandler_);
        EXPECT_EQ(logged, QStringList());
    }

    // Shows text under key and waits until the service has it.
    Received ShowAndWait(NotificationServer& server, const QString& key, const QString& text)
    {
        const size_t before = server.received.size();
        notifications.Show(key, text);
        EXPECT_TRUE(WaitUntil([&] { return server.received.size() > before; }));
        return server.received.back();
    }

    DbusNotifications notifications;
    QStringList clicked;

private:
    QtMessageHandler previousHandler_ = nullptr;
};

struct Markup
{
    const char* what;
    QStringList capabilities;
    QString body; // of the text "BETA: <b>1 & 2</b>"
};

class DbusNotificationsMarkupTest : public DbusNotificationsTest, public testing::WithParamInterface<Markup>
{
};

TEST_P(DbusNotificationsMarkupTest, OneNotificationPerKeyThatAClickLeadsBackTo)
{
    NotificationServer server(GetParam().capabilities);
    const Received first = ShowAndWait(server, "BETA", "BETA: <b>1 & 2</b>");
    EXPECT_EQ(first.replacesId, 0u);
    EXPECT_EQ(first.summary, "Parlino");
    EXPECT_EQ(first.body, GetParam().body);
    EXPECT_TRUE(first.actions.contains("default"));
    EXPECT_EQ(ShowAndWait(server, "BETA", "BETA: again").replacesId, 1u);
    EXPECT_EQ(ShowAndWait(server, "GAMMA", "GAMMA: hi").replacesId, 0u);

    // Other actions and other programs' notifications are not clicks; a sentinel click shows they were seen.
    Q_EMIT server.ActionInvoked(1, "other");
    Q_EMIT server.ActionInvoked(99, "default");
    Q_EMIT server.ActionInvoked(2, "default");
    ASSERT_TRUE(WaitUntil([&] { return !clicked.isEmpty(); }));
    EXPECT_EQ(clicked, QStringList{"GAMMA"});

    // Once closed, a notification is clicked no more and the station's next message is a new one.
    Q_EMIT server.NotificationClosed(1, 2);
    Q_EMIT server.ActionInvoked(1, "default");
    Q_EMIT server.ActionInvoked(2, "default");
    ASSERT_TRUE(WaitUntil([&] { return clicked.size() == 2; }));
    EXPECT_EQ(clicked, (QStringList{"GAMMA", "GAMMA"}));
    EXPECT_EQ(ShowAndWait(server, "BETA", "BETA: new").replacesId, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Services, DbusNotificationsMarkupTest,
    testing::Values(Markup{"PlainText", {"body", "actions"}, "BETA: <b>1 & 2</b>"},
                    Markup{"BodyMarkup", {"body", "body-markup", "actions"}, "BETA: &lt;b&gt;1 &amp; 2&lt;/b&gt;"}),
    [](const testing::TestParamInfo<Markup>& param) { return std::string(param.param.what); });

TEST_F(DbusNotificationsTest, MessagesInQuickSuccessionReplaceRatherThanStack)
{
    NotificationServer server({"body"});
    ShowAndWait(server, "GAMMA", "GAMMA: capabilities known");
    for (const char* text : {"BETA: one", "BETA: two", "BETA: three"})
        notifications.Show("BETA", text);
    ASSERT_TRUE(WaitUntil([&] { return server.received.back().body == "BETA: three"; }));
    ASSERT_EQ(server.received.size(), 3u);
    EXPECT_EQ(server.received[1].body, "BETA: one");
    EXPECT_EQ(server.received[2].replacesId, 2u);
}

TEST_F(DbusNotificationsTest, WithoutAServiceNothingIsShownNowOrLater)
{
    notifications.Show("BETA", "BETA: lost");
    // The bus answers a connection's calls in order: this answer comes after the one to Show's call.
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
    // The failed question is still unanswered here, as the service comes up and the next text is shown.
    NotificationServer server({"body"});
    ShowAndWait(server, "GAMMA", "GAMMA: shown");
    // A lost text still waiting would have gone out with the first, so before this one.
    ShowAndWait(server, "GAMMA", "GAMMA: after");
    ASSERT_EQ(server.received.size(), 2u);
    EXPECT_EQ(server.received[0].body, "GAMMA: shown");
}

TEST_F(DbusNotificationsTest, WithoutABusNothingIsReported)
{
    int connections = 0;
    DbusNotifications nowhere([&connections] {
        ++connections;
        return QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere");
    });
    for (const char* text : {"BETA: lost", "BETA: lost again"}) {
        nowhere.Show("BETA", text);
        QCoreApplication::processEvents();
    }
    // The bus is tried once, and its absence is neither logged nor taken for a click.
    EXPECT_EQ(connections, 1);
    EXPECT_EQ(logged, QStringList());
    EXPECT_EQ(clicked, QStringList());
}

} // namespace
} // namespace parlino

#include "DbusNotificationsTest.moc"
