// The taskbar entry's launcher signals on a private session bus: the desktop entry's URI, the
// progress within 0 to 1, hiding, and a call for attention withdrawn only once it was made.
#include "platform/DesktopTaskbarProgress.h"

#include "platform/DesktopEntry.h"

#include <QDBusArgument>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/PrivateBus.h"
#include "support/TestSupport.h"

namespace {

using ondrava::DesktopTaskbarProgress;
using testsupport::PumpUntil;

QVariantMap Properties(const QDBusMessage& signal)
{
    return qdbus_cast<QVariantMap>(signal.arguments().value(1).value<QDBusArgument>());
}

TEST(DesktopTaskbarProgressTest, EveryCallBecomesAnUpdateOfTheEntry)
{
    testsupport::PrivateBus bus;
    if (bus.Address().isEmpty())
        GTEST_SKIP() << bus.Error().toStdString();
    testsupport::SignalRecorder dock(bus.Connect(), QStringLiteral("com.canonical.Unity.LauncherEntry"));
    DesktopTaskbarProgress taskbar(bus.Connect());

    taskbar.SetUrgent(false);  // nothing asked for attention yet: nothing to withdraw
    taskbar.SetProgress(0.25);
    taskbar.SetProgress(1.7);
    taskbar.SetProgress(-1);
    taskbar.HideProgress();
    taskbar.SetUrgent(true);
    taskbar.SetUrgent(false);
    taskbar.SetUrgent(false);

    const std::vector<QVariantMap> expected = {
        {{"progress", 0.25}, {"progress-visible", true}},
        {{"progress", 1.0}, {"progress-visible", true}},
        {{"progress", 0.0}, {"progress-visible", true}},
        {{"progress-visible", false}},
        {{"urgent", true}},
        {{"urgent", false}},
    };
    PumpUntil([&] { return dock.signals_.size() >= expected.size(); }, 20000);
    PumpUntil([] { return false; }, 200);  // nothing more comes
    ASSERT_EQ(dock.signals_.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const QDBusMessage& signal = dock.signals_[i];
        EXPECT_EQ(signal.member(), QStringLiteral("Update"));
        EXPECT_EQ(signal.signature(), QStringLiteral("sa{sv}"));
        EXPECT_EQ(signal.arguments().value(0).toString(),
                  QStringLiteral("application://org.example.ondrava.Ondrava.desktop"));
        const QVariantMap properties = Properties(signal);
        EXPECT_EQ(properties.keys(), expected[i].keys());
        for (auto it = expected[i].begin(); it != expected[i].end(); ++it) {
            EXPECT_EQ(properties.value(it.key()).metaType(), it.value().metaType()) << it.key().toStdString();
            EXPECT_EQ(properties.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
}

TEST(DesktopTaskbarProgressTest, TheUriNamesTheShippedDesktopEntry)
{
    // The dock matches the URI with the installed entry: the two must not drift apart.
    const QString entry = testsupport::SourceDir() + QStringLiteral("/../packaging/") +
                          QLatin1String(ondrava::kDesktopEntryId) + QStringLiteral(".desktop");
    EXPECT_TRUE(QFileInfo(entry).isFile()) << entry.toStdString();
    EXPECT_TRUE(DesktopTaskbarProgress::AppUri().endsWith(QFileInfo(entry).fileName()));
}

}  // namespace
