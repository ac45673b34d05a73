// A tool that never ends and ignores the polite signals: while it runs the window refuses to
// close, Stop ends it within a step or two of the wait loop, and no process of it is left.
#include "window/ConvertRunFixture.h"

#include <QElapsedTimer>

#include <csignal>

using namespace ondrava;
using namespace ondrava::test;

namespace {

bool Alive(qint64 pid)
{
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    const QByteArray stat = testsupport::ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.contains(") Z ");
}

}  // namespace

class HangingToolTest : public ConvertRunFixture {};

TEST_F(HangingToolTest, StopEndsItAndCloseIsRefusedWhileItRuns)
{
    const QString pidFile = Path(QStringLiteral("tool.pid"));
    WriteTool("trap '' TERM INT HUP\n"
              "printf partial > \"$out\"\n"
              "echo $$ > '" + pidFile.toUtf8() + "'\n"
              "exec sleep 120");

    qint64 toolPid = 0;
    int stopAt = 0;
    std::vector<bool> closeAllowed;
    QElapsedTimer sinceStop;
    services.onProcessEvents = [&](int call) {
        bool canClose = true;
        form->FormCloseQuery(canClose);
        closeAllowed.push_back(canClose);
        if (stopAt == 0 && testsupport::ReadFile(pidFile).trimmed().toLongLong() > 0) {
            toolPid = testsupport::ReadFile(pidFile).trimmed().toLongLong();
            stopAt = call + 3;  // let it hang a little first
        }
        if (call == stopAt) {
            sinceStop.start();
            form->StopConvBitBtnClick();
        }
        // A tool that cannot be stopped must not hold the test for two minutes.
        if (call > 600 && toolPid > 0)
            ::kill(pid_t(toolPid), SIGKILL);
    };

    form->ConvertBitBtnClick();

    ASSERT_GT(stopAt, 0) << "the tool never started";
    EXPECT_LE(services.processEventsCalls - stopAt, 2) << "Stop took more than two steps";
    EXPECT_LT(sinceStop.elapsed(), 2000);
    EXPECT_FALSE(Alive(toolPid)) << "the tool outlived Stop";
    EXPECT_EQ(std::count(closeAllowed.begin(), closeAllowed.end(), true), 0) << "close was allowed mid-run";
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(QFileInfo::exists(Output())) << "the stopped run's partial output stays";
    EXPECT_TRUE(QFileInfo::exists(source));

    bool canClose = false;
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}
