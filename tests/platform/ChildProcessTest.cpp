#include "platform/ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using ondrava::ChildProcess;
using ondrava::CommandLine;
using testsupport::ReadFile;
using testsupport::WriteScript;

namespace {

class ChildProcessTest : public ::testing::Test {
protected:
    CommandLine Script(const QString& name, const QByteArray& body, const QStringList& args = {})
    {
        const QString path = dir.filePath(name);
        WriteScript(path, body);
        return CommandLine{path, args, path};
    }
    QTemporaryDir dir;
};

TEST_F(ChildProcessTest, ExitCodesComeBack)
{
    for (int code : {0, 1, 40, 255}) {
        ChildProcess child;
        ASSERT_TRUE(child.Start(Script("exit.sh", "exit \"$1\"\n", {QString::number(code)}), dir.path()));
        ASSERT_TRUE(child.WaitForExit(10000));
        EXPECT_EQ(child.ExitCode(), code);
        EXPECT_FALSE(child.Crashed());
        EXPECT_TRUE(child.WaitForExit(0)) << "an ended child stays ended";
    }
}

TEST_F(ChildProcessTest, CannotStart)
{
    const QString notExecutable = dir.filePath("plain.txt");
    testsupport::WriteFile(notExecutable, "#!/bin/sh\nexit 0\n");
    const QString cases[] = {dir.filePath("missing"), notExecutable, dir.path()};
    for (const QString& program : cases) {
        ChildProcess child;
        EXPECT_FALSE(child.Start(CommandLine{program, {}, program}, dir.path())) << program.toStdString();
        EXPECT_TRUE(child.WaitForExit(0));
        EXPECT_EQ(child.ExitCode(), -1);
    }
}

TEST_F(ChildProcessTest, TerminateEndsASleepingChildAtOnce)
{
    ChildProcess child;
    ASSERT_TRUE(child.Start(Script("sleep.sh", "exec sleep 30\n"), dir.path()));
    EXPECT_FALSE(child.WaitForExit(200));
    QElapsedTimer timer;
    timer.start();
    child.Terminate();
    ASSERT_TRUE(child.WaitForExit(5000));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(child.Crashed());
    EXPECT_EQ(child.ExitCode(), -1);
}

TEST_F(ChildProcessTest, StandardInputIsTheNullDevice)
{
    // A child that reads its input must see the end at once, never what this program's own
    // input holds: give this program an input with a line waiting while the child starts.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "line\n", 5), 5);
    const int savedInput = ::dup(0);
    ::dup2(fds[0], 0);
    ChildProcess child;
    const bool started = child.Start(Script("read.sh", "if read line; then exit 1; fi\nexit 3\n"), dir.path());
    ::dup2(savedInput, 0);
    ::close(savedInput);
    ::close(fds[0]);
    ::close(fds[1]);
    ASSERT_TRUE(started);
    ASSERT_TRUE(child.WaitForExit(5000));
    EXPECT_EQ(child.ExitCode(), 3);
}

TEST_F(ChildProcessTest, ChattyChildNeverBlocksOnItsOutput)
{
    ChildProcess child;
    ASSERT_TRUE(child.Start(
        Script("chatty.sh", "head -c 20000000 /dev/zero\nhead -c 20000000 /dev/zero >&2\nexit 5\n"), dir.path()));
    ASSERT_TRUE(child.WaitForExit(20000));
    EXPECT_EQ(child.ExitCode(), 5);
}

TEST_F(ChildProcessTest, RunsInTheWorkingDirectoryWithItsArgumentsIntact)
{
    QTemporaryDir work;
    const QString report = dir.filePath("report.txt");
    const QString odd = QStringLiteral("a \"b\" $HOME `x` ; é");
    ChildProcess child;
    ASSERT_TRUE(child.Start(Script("pwd.sh", "pwd > \"$1\"\nprintf '%s' \"$2\" >> \"$1\"\n", {report, odd}),
                            work.path()));
    ASSERT_TRUE(child.WaitForExit(5000));
    EXPECT_EQ(QString::fromUtf8(ReadFile(report)), work.path() + u'\n' + odd);
}

TEST_F(ChildProcessTest, DestructorKillsAChildStillRunning)
{
    const QString pidFile = dir.filePath("pid");
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(Script("pid.sh", "echo $$ > \"$1\"\nexec sleep 30\n", {pidFile}), dir.path()));
        for (int i = 0; i < 50 && ReadFile(pidFile).isEmpty(); ++i)
            child.WaitForExit(100);
    }
    const int pid = ReadFile(pidFile).trimmed().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid, 0), 0) << "the child is gone and reaped";
}

}  // namespace
