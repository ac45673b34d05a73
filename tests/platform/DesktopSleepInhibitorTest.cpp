// The sleep inhibitor against a private bus in place of the system bus (a fake logind handing
// out a pipe as its lock) and a private session bus (a fake desktop portal): what is asked,
// that the lock is let go the moment the run ends, and the fallback to the portal.
#include "platform/DesktopSleepInhibitor.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QProcess>
#include <gtest/gtest.h>

#include "support/PrivateBus.h"

namespace {

using ondrava::DesktopSleepInhibitor;
using testsupport::PumpUntil;

class DesktopSleepInhibitorTest : public ::testing::Test {
protected:
    testsupport::PrivateBus system;
    testsupport::PrivateBus session;
    void SetUp() override
    {
        if (system.Address().isEmpty() || session.Address().isEmpty())
            GTEST_SKIP() << system.Error().toStdString() << session.Error().toStdString();
    }
};

TEST_F(DesktopSleepInhibitorTest, LogindLockIsHeldUntilTheRelease)
{
    testsupport::FakeLogind logind(system.Connect());
    testsupport::FakePortal portal(session.Connect());
    DesktopSleepInhibitor inhibitor(system.Connect(), session.Connect());

    inhibitor.Inhibit(QStringLiteral("Converting my clip, \"ü\".avi"));
    inhibitor.Inhibit(QStringLiteral("Converting again"));  // already asked: no second lock
    ASSERT_TRUE(PumpUntil([&] { return inhibitor.HeldBy() == QLatin1String("logind"); }, 20000));
    ASSERT_EQ(logind.calls.size(), 1u);
    const QDBusMessage& call = logind.calls.front();
    EXPECT_EQ(call.interface(), QStringLiteral("org.freedesktop.login1.Manager"));
    EXPECT_EQ(call.member(), QStringLiteral("Inhibit"));
    EXPECT_EQ(call.arguments(), (QList<QVariant>{QStringLiteral("sleep"), QStringLiteral("Ondrava"),
                                                 QStringLiteral("Converting my clip, \"ü\".avi"),
                                                 QStringLiteral("block")}));
    EXPECT_TRUE(logind.Held(0));

    // A program started meanwhile (the media tool) must not inherit the lock and keep it.
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted(10000));

    // The bus library lets go of its own copy of the answer a moment after handing it over.
    inhibitor.Release();
    EXPECT_TRUE(PumpUntil([&] { return !logind.Held(0); }, 10000)) << "the lock outlived the release";
    EXPECT_EQ(inhibitor.HeldBy(), QString());
    EXPECT_TRUE(portal.calls.empty());
    child.kill();
    child.waitForFinished(10000);

    // The next run takes a fresh lock.
    inhibitor.Inhibit(QStringLiteral("Converting b.avi"));
    ASSERT_TRUE(PumpUntil([&] { return inhibitor.HeldBy() == QLatin1String("logind"); }, 20000));
    ASSERT_EQ(logind.calls.size(), 2u);
    EXPECT_TRUE(logind.Held(1));
    inhibitor.Release();
    EXPECT_TRUE(PumpUntil([&] { return !logind.Held(1); }, 10000));
}

TEST_F(DesktopSleepInhibitorTest, ALockThatArrivesAfterTheReleaseIsGivenBack)
{
    testsupport::FakeLogind logind(system.Connect());
    DesktopSleepInhibitor inhibitor(system.Connect(), session.Connect());
    inhibitor.Inhibit(QStringLiteral("Converting a.avi"));
    inhibitor.Release();  // a run shorter than the answer
    ASSERT_TRUE(PumpUntil([&] { return logind.calls.size() == 1; }, 20000));
    EXPECT_TRUE(PumpUntil([&] { return !logind.Held(0); }, 20000));
    EXPECT_EQ(inhibitor.HeldBy(), QString());
}

TEST_F(DesktopSleepInhibitorTest, WithoutLogindThePortalKeepsTheComputerAwake)
{
    struct Case {
        const char* name;
        bool systemBus;
        bool logindRefuses;  // logind is there but says no
    };
    const Case cases[] = {
        {"no system bus", false, false},
        {"no logind on the system bus", true, false},
        {"logind refuses", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::PrivateBus ownSystem;
        testsupport::PrivateBus ownSession;
        ASSERT_FALSE(ownSystem.Address().isEmpty() || ownSession.Address().isEmpty());
        std::unique_ptr<testsupport::FakeLogind> logind;
        if (c.logindRefuses) {
            logind = std::make_unique<testsupport::FakeLogind>(ownSystem.Connect());
            logind->refuse = true;
        }
        testsupport::FakePortal portal(ownSession.Connect());
        DesktopSleepInhibitor inhibitor(c.systemBus ? std::optional(ownSystem.Connect()) : std::nullopt,
                                        ownSession.Connect());

        inhibitor.Inhibit(QStringLiteral("Converting clip.avi"));
        ASSERT_TRUE(PumpUntil([&] { return inhibitor.HeldBy() == QLatin1String("portal"); }, 20000));
        ASSERT_EQ(portal.calls.size(), 1u);
        const QList<QVariant> args = portal.calls.front().arguments();
        EXPECT_EQ(portal.calls.front().interface(), QStringLiteral("org.freedesktop.portal.Inhibit"));
        EXPECT_EQ(portal.calls.front().signature(), QStringLiteral("sua{sv}"));
        EXPECT_EQ(args.value(0).toString(), QString());
        EXPECT_EQ(args.value(1).toUInt(), 4u);  // suspend
        EXPECT_EQ(qdbus_cast<QVariantMap>(args.value(2).value<QDBusArgument>()),
                  (QVariantMap{{QStringLiteral("reason"), QStringLiteral("Converting clip.avi")}}));

        inhibitor.Release();
        EXPECT_TRUE(PumpUntil([&] { return portal.closed == portal.handed; }, 20000))
            << portal.closed.join(' ').toStdString();
        EXPECT_EQ(inhibitor.HeldBy(), QString());
    }
}

TEST(DesktopSleepInhibitorWithoutBuses, NothingHappens)
{
    DesktopSleepInhibitor inhibitor(std::nullopt, std::nullopt);
    inhibitor.Inhibit(QStringLiteral("Converting clip.avi"));
    EXPECT_EQ(inhibitor.HeldBy(), QString());
    inhibitor.Release();
    inhibitor.Release();
}

}  // namespace
