#include "platform/DesktopShell.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

TEST(Shell, DefaultRecordsInsteadOfReachingOut)
{
    auto* recorder = dynamic_cast<RecordingShell*>(&CurrentShell());
    ASSERT_NE(recorder, nullptr);
    const std::size_t before = recorder->calls.size();
    EXPECT_TRUE(CurrentShell().OpenUrl(QUrl(QStringLiteral("mailto:support@example.org"))));
    EXPECT_TRUE(CurrentShell().StartDetached(QStringLiteral("/opt/p/parvel"), {QStringLiteral("-a b")}));
    EXPECT_TRUE(CurrentShell().ShowInFolder(QStringLiteral("/v/clip.mp4")));
    ASSERT_EQ(recorder->calls.size(), before + 3);
    const auto& open = recorder->calls[before];
    EXPECT_EQ(open.kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(open.target, QStringLiteral("mailto:support@example.org"));
    const auto& start = recorder->calls[before + 1];
    EXPECT_EQ(start.kind, QStringLiteral("StartDetached"));
    EXPECT_EQ(start.target, QStringLiteral("/opt/p/parvel"));
    EXPECT_EQ(start.args, QStringList{QStringLiteral("-a b")});
    const auto& show = recorder->calls[before + 2];
    EXPECT_EQ(show.kind, QStringLiteral("ShowInFolder"));
    EXPECT_EQ(show.target, QStringLiteral("/v/clip.mp4"));
}

TEST(Shell, InstalledShellIsUsedUntilReset)
{
    RecordingShell mine;
    mine.result = false;
    Shell& fallback = CurrentShell();
    SetShell(&mine);
    EXPECT_EQ(&CurrentShell(), &mine);
    EXPECT_FALSE(CurrentShell().OpenUrl(QUrl(QStringLiteral("https://example.org/"))));
    EXPECT_EQ(mine.calls.size(), 1u);
    SetShell(nullptr);
    EXPECT_EQ(&CurrentShell(), &fallback);
}

TEST(DesktopShell, StartsProgramWithItsOwnArgumentsAndNoInput)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.path() + QStringLiteral("/out.txt");
    const QString tool = dir.path() + QStringLiteral("/tool");
    // The tool would wait forever if it inherited an open input.
    testsupport::WriteScript(tool, "printf '%s|' \"$#\" \"$1\" \"$2\" > \"$3.part\"\n"
                                   "cat >> \"$3.part\"\n"
                                   "mv \"$3.part\" \"$3\"\n");
    DesktopShell shell;
    ASSERT_TRUE(shell.StartDetached(tool, {QStringLiteral("-a b"), QStringLiteral("\"q\" $x"), out}));
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(testsupport::ReadFile(out), QByteArray("3|-a b|\"q\" $x|"));
}

TEST(DesktopShell, MissingProgramReportsFailure)
{
    DesktopShell shell;
    EXPECT_FALSE(shell.StartDetached(QStringLiteral("/nonexistent/ondrava-tool"), {}));
}

}  // namespace
