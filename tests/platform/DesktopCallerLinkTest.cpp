// The line to the calling download manager on a private session bus: who counts as running,
// and the announcement every listener on the bus hears.
#include "platform/DesktopCallerLink.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/PrivateBus.h"

namespace {

using ondrava::DesktopCallerLink;
using testsupport::PumpUntil;

class DesktopCallerLinkTest : public ::testing::Test {
protected:
    testsupport::PrivateBus bus;
    void SetUp() override
    {
        if (bus.Address().isEmpty())
            GTEST_SKIP() << bus.Error().toStdString();
    }
};

TEST_F(DesktopCallerLinkTest, TheCallerRunsWhenItOwnsItsName)
{
    QDBusConnection parvel = bus.Connect();
    ASSERT_TRUE(parvel.registerService(QStringLiteral("org.zelt.Parvel")));
    // A name that merely begins like the caller's is another program.
    QDBusConnection other = bus.Connect();
    ASSERT_TRUE(other.registerService(QStringLiteral("org.zelt.TesslyHelper")));

    DesktopCallerLink link(bus.Connect());
    EXPECT_TRUE(link.IsRunning(QStringLiteral("Parvel")));
    EXPECT_FALSE(link.IsRunning(QStringLiteral("Tessly")));
    EXPECT_FALSE(link.IsRunning(QString()));

    // The caller that quits is no longer there.
    ASSERT_TRUE(parvel.unregisterService(QStringLiteral("org.zelt.Parvel")));
    EXPECT_FALSE(link.IsRunning(QStringLiteral("Parvel")));
}

TEST_F(DesktopCallerLinkTest, TheAnnouncementIsABroadcastSignalWithTheIdentifier)
{
    // Two listeners that asked nobody: a signal meant for one destination would reach one at most.
    testsupport::SignalRecorder first(bus.Connect(), QStringLiteral("org.zelt.Ondrava"));
    testsupport::SignalRecorder second(bus.Connect(), QStringLiteral("org.zelt.Ondrava"));

    DesktopCallerLink link(bus.Connect());
    QElapsedTimer clock;
    clock.start();
    link.AnnounceConversionComplete(5);
    link.AnnounceConversionComplete(2147483647);
    EXPECT_LT(clock.elapsed(), 1000) << "the announcement waited for someone";

    ASSERT_TRUE(PumpUntil([&] { return first.signals_.size() == 2 && second.signals_.size() == 2; }, 20000));
    for (const auto* recorder : {&first, &second}) {
        const QDBusMessage& signal = recorder->signals_.front();
        EXPECT_EQ(signal.type(), QDBusMessage::SignalMessage);
        EXPECT_EQ(signal.path(), QStringLiteral("/org/zelt/Ondrava"));
        EXPECT_EQ(signal.interface(), QStringLiteral("org.zelt.Ondrava"));
        EXPECT_EQ(signal.member(), QStringLiteral("PVOndravaConversionComplete"));
        EXPECT_EQ(signal.signature(), QStringLiteral("i"));
        EXPECT_EQ(signal.arguments().value(0).toInt(), 5);
        EXPECT_EQ(recorder->signals_.back().arguments().value(0).toInt(), 2147483647);
    }
}

TEST(DesktopCallerLinkWithoutBus, NobodyRunsAndNothingIsSent)
{
    const QByteArray oldAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir emptyRuntime;
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", emptyRuntime.path().toUtf8());
    {
        QElapsedTimer clock;
        clock.start();
        DesktopCallerLink link;
        EXPECT_FALSE(link.IsRunning(QStringLiteral("Parvel")));
        link.AnnounceConversionComplete(5);
        EXPECT_LT(clock.elapsed(), 1000);
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
