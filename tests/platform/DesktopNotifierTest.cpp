// The desktop notifier against a private session bus of its own: the call a notification
// service receives, and silence where no service or no bus exists.
#include "platform/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include "support/TestSupport.h"

using ondrava::DesktopNotifier;

namespace {

// Collects the warnings Qt prints while it is installed.
class WarningCollector {
public:
    WarningCollector() { s_warnings = &m_warnings; m_previous = qInstallMessageHandler(&Collect); }
    ~WarningCollector() { qInstallMessageHandler(m_previous); s_warnings = nullptr; }
    const QStringList& Warnings() const { return m_warnings; }

private:
    static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && s_warnings)
            s_warnings->append(text);
    }
    static inline QStringList* s_warnings = nullptr;
    QStringList m_warnings;
    QtMessageHandler m_previous = nullptr;
};

// A notification service that records the calls it gets and answers with an id.
class FakeNotificationService : public QDBusVirtualObject {
public:
    std::vector<QDBusMessage> calls;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.push_back(message);
        connection.send(message.createReply(QVariant::fromValue(uint(7))));
        return true;
    }
    QString introspect(const QString&) const override { return QString(); }
};

void PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A message bus of the test's own, without any service that could be started on demand.
class PrivateBusTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess daemon;
    QString address;

    void SetUp() override
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        const QString config = dir.filePath(QStringLiteral("bus.conf"));
        testsupport::WriteFile(config, "<busconfig>\n<type>session</type>\n<listen>unix:dir=" +
                                           dir.path().toUtf8() +
                                           "</listen>\n<auth>EXTERNAL</auth>\n"
                                           "<policy context=\"default\">\n"
                                           "<allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                           "<allow eavesdrop=\"true\"/>\n<allow own=\"*\"/>\n"
                                           "</policy>\n</busconfig>\n");
        daemon.setStandardInputFile(QProcess::nullDevice());
        daemon.start(program, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                               QStringLiteral("--print-address")});
        ASSERT_TRUE(daemon.waitForStarted(10000));
        QDeadlineTimer deadline(10000);
        while (!daemon.canReadLine() && !deadline.hasExpired())
            daemon.waitForReadyRead(int(deadline.remainingTime()));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty()) << daemon.readAllStandardError().constData();
    }

    void TearDown() override
    {
        for (const QString& name : connections)
            QDBusConnection::disconnectFromBus(name);
        if (daemon.state() != QProcess::NotRunning) {
            daemon.kill();
            daemon.waitForFinished(10000);
        }
    }

    QDBusConnection Connect(const QString& name)
    {
        connections << name;
        return QDBusConnection::connectToBus(address, name);
    }

private:
    QStringList connections;
};

TEST_F(PrivateBusTest, TheServiceGetsTheNotificationCall)
{
    QDBusConnection serviceBus = Connect(QStringLiteral("notification-service"));
    ASSERT_TRUE(serviceBus.isConnected());
    FakeNotificationService service;
    ASSERT_TRUE(serviceBus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"),
                                                 &service));
    ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    QDBusConnection clientBus = Connect(QStringLiteral("notifier"));
    ASSERT_TRUE(clientBus.isConnected());
    DesktopNotifier notifier(clientBus);
    notifier.Notify(QStringLiteral("Ondrava"), QStringLiteral("Conversion ended: \"clip\" ü"));
    PumpUntil([&] { return !service.calls.empty(); }, 10000);

    ASSERT_EQ(service.calls.size(), 1u);
    const QDBusMessage& call = service.calls.front();
    EXPECT_EQ(call.interface(), QStringLiteral("org.freedesktop.Notifications"));
    EXPECT_EQ(call.path(), QStringLiteral("/org/freedesktop/Notifications"));
    EXPECT_EQ(call.member(), QStringLiteral("Notify"));
    EXPECT_EQ(call.signature(), QStringLiteral("susssasa{sv}i"));
    const QList<QVariant> args = call.arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[0].toString(), QStringLiteral("Ondrava"));
    EXPECT_EQ(args[1].toUInt(), 0u);
    EXPECT_EQ(args[2].toString(), QStringLiteral("org.example.ondrava.Ondrava"));
    EXPECT_EQ(args[3].toString(), QStringLiteral("Ondrava"));
    EXPECT_EQ(args[4].toString(), QStringLiteral("Conversion ended: \"clip\" ü"));
    EXPECT_TRUE(args[5].toStringList().isEmpty());
    EXPECT_EQ(args[7].toInt(), -1);
}

TEST_F(PrivateBusTest, WithoutAServiceNothingWaitsAndNothingIsPrinted)
{
    QDBusConnection clientBus = Connect(QStringLiteral("lonely-notifier"));
    ASSERT_TRUE(clientBus.isConnected());
    DesktopNotifier notifier(clientBus);
    WarningCollector warnings;
    QElapsedTimer timer;
    timer.start();
    notifier.Notify(QStringLiteral("Ondrava"), QStringLiteral("Done"));
    notifier.Notify(QStringLiteral("Ondrava"), QStringLiteral("Done again"));
    EXPECT_LT(timer.elapsed(), 500);
    // The bus answers "no such service"; that answer must pass without a word.
    PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(warnings.Warnings().isEmpty()) << warnings.Warnings().join(QLatin1Char('\n')).toStdString();
}

TEST(DesktopNotifierTest, WithoutASessionBusNothingHappens)
{
    const QByteArray oldAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir emptyRuntime;
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", emptyRuntime.path().toUtf8());
    {
        WarningCollector warnings;
        QElapsedTimer timer;
        timer.start();
        DesktopNotifier notifier;
        notifier.Notify(QStringLiteral("Ondrava"), QStringLiteral("Done"));
        EXPECT_LT(timer.elapsed(), 500);
        EXPECT_TRUE(warnings.Warnings().isEmpty());
    }
    {
        // A bus that cannot be reached is no bus either.
        WarningCollector warnings;
        DesktopNotifier notifier(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=") + emptyRuntime.filePath(QStringLiteral("no-bus")),
            QStringLiteral("unreachable")));
        notifier.Notify(QStringLiteral("Ondrava"), QStringLiteral("Done"));
        EXPECT_TRUE(warnings.Warnings().isEmpty());
        QDBusConnection::disconnectFromBus(QStringLiteral("unreachable"));
    }
    if (oldAddress.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", oldAddress);
    if (oldRuntime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

}  // namespace
