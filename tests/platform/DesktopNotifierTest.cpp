// The desktop notifier against a private session bus of its own: the call a notification
// service receives, the buttons of a finished file and their answers, and silence where no
// service or no bus exists.
#include "platform/DesktopNotifier.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

#include "support/PrivateBus.h"
#include "support/TestSupport.h"

using ondrava::DesktopNotifier;
using testsupport::PumpUntil;

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

// A message bus of the test's own, without any service that could be started on demand.
class PrivateBusTest : public ::testing::Test {
protected:
    testsupport::PrivateBus bus;
    void SetUp() override
    {
        if (bus.Address().isEmpty())
            GTEST_SKIP() << bus.Error().toStdString();
    }
    QDBusConnection Connect(const QString&) { return bus.Connect(); }
};

TEST_F(PrivateBusTest, TheServiceGetsTheNotificationCall)
{
    testsupport::FakeNotifications service(Connect(QStringLiteral("notification-service")));

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

TEST_F(PrivateBusTest, TheFilesButtonsOpenItOrShowItInItsFolder)
{
    testsupport::FakeNotifications service(Connect(QString()));
    ondrava::RecordingShell shell;
    ondrava::SetShell(&shell);
    DesktopNotifier notifier(Connect(QString()));
    const QString file = QStringLiteral("/tmp/out dir/clip, \"1\" ü.mp4");
    notifier.NotifyWithFileActions(QStringLiteral("Ondrava"), QStringLiteral("Conversion completed"),
                                   {file, QStringLiteral("Open"), QStringLiteral("Show in folder")});
    ASSERT_TRUE(PumpUntil([&] { return !service.calls.empty(); }, 20000));
    const uint id = service.LastId();
    const QList<QVariant> args = service.calls.front().arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[4].toString(), QStringLiteral("Conversion completed"));
    EXPECT_EQ(args[5].toStringList(), (QStringList{QStringLiteral("open"), QStringLiteral("Open"),
                                                   QStringLiteral("show-in-folder"),
                                                   QStringLiteral("Show in folder")}));
    EXPECT_EQ(qdbus_cast<QVariantMap>(args[6].value<QDBusArgument>()).value(QStringLiteral("desktop-entry")),
              QVariant(QStringLiteral("org.example.ondrava.Ondrava")));
    ASSERT_TRUE(PumpUntil([&] { return notifier.AnswersButtonsOf(id); }, 20000));

    // Another program's notification, and a button nobody offered, change nothing.
    service.InvokeAction(id + 100, QStringLiteral("open"));
    service.InvokeAction(id, QStringLiteral("delete"));
    service.InvokeAction(id, QStringLiteral("show-in-folder"));
    service.InvokeAction(id, QStringLiteral("open"));
    ASSERT_TRUE(PumpUntil([&] { return shell.calls.size() >= 2; }, 20000));
    PumpUntil([] { return false; }, 200);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].kind, QStringLiteral("ShowInFolder"));
    EXPECT_EQ(shell.calls[0].target, file);
    EXPECT_EQ(shell.calls[1].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(QUrl(shell.calls[1].target).toLocalFile(), file);

    // Once the notification is gone, its buttons are forgotten.
    service.Close(id);
    ASSERT_TRUE(PumpUntil([&] { return !notifier.AnswersButtonsOf(id); }, 20000));
    service.InvokeAction(id, QStringLiteral("open"));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(shell.calls.size(), 2u);
    ondrava::SetShell(nullptr);
}

}  // namespace
