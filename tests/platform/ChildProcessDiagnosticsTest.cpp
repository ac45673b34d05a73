// The child's standard error kept as a bounded tail: what is kept, and that a tool writing
// megabytes neither stalls nor makes the buffer grow.
#include "platform/ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/TestSupport.h"

using ondrava::ChildProcess;
using ondrava::CommandLine;
using ondrava::DiagnosticTail;

namespace {

struct TailRow {
    const char* name;
    std::vector<QByteArray> chunks;
    int maxLines;
    int maxBytes;
    QStringList expected;
};

TEST(DiagnosticTailTest, KeepsTheLastLinesWithinTheBound)
{
    const QByteArray longLine = QByteArray(100, 'x');
    const TailRow rows[] = {
        {"line feeds, carriage returns and blanks", {"one\n\n  two  \r\nthree\rfour\n   \n"}, 8, 4096,
         {"one", "two", "three", "four"}},
        {"only the last lines", {"1\n2\n3\n4\n5\n"}, 3, 4096, {"3", "4", "5"}},
        {"a line split over chunks stays one line", {"Invalid ar", "gument\nlast"}, 8, 4096,
         {"Invalid argument", "last"}},
        {"a line whose start was dropped is left out", {"aaaaaaaaaa\nbb\ncc\n"}, 8, 8, {"bb", "cc"}},
        {"the cut falls on a line end", {"aaaa\nbb\ncc\n"}, 8, 7, {"bb", "cc"}},
        {"an overlong line keeps its end without half a character",
         {longLine + "\xc3\xbc\xc3\xbc" + "end"}, 8, 6, {QString::fromUtf8("\xc3\xbc" "end")}},
        {"a chunk larger than the bound", {"old\n", longLine + "\nnew reason\n"}, 8, 12,
         {"new reason"}},
        {"nothing written", {}, 8, 4096, {}},
    };
    for (const TailRow& row : rows) {
        DiagnosticTail tail(row.maxLines, row.maxBytes);
        for (const QByteArray& chunk : row.chunks) {
            tail.Append(chunk);
            EXPECT_LE(tail.BytesHeld(), row.maxBytes) << row.name;
        }
        EXPECT_EQ(tail.Lines(), row.expected) << row.name;
    }
}

// The process's peak resident memory in KiB since its start or the last reset; -1 if unknown.
long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void ResetPeakResident()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

class ChildProcessDiagnosticsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    CommandLine Script(const QByteArray& body)
    {
        const QString path = dir.filePath(QStringLiteral("tool.sh"));
        testsupport::WriteScript(path, body);
        return CommandLine{path, {}, path};
    }
    // Megabytes of progress chatter on standard error, then the reason, and a failure.
    CommandLine NoisyFailingTool(int mebibytes = 6)
    {
        return Script("yes 'frame=  100 fps=25 q=28.0 size=256kB time=00:00:04.00 speed=1x' |"
                      " head -c " + QByteArray::number(mebibytes * 1024 * 1024) + " >&2\n"
                      "echo >&2\n"
                      "echo 'Stream #0:0: Video: h264' >&2\n"
                      "echo 'Unknown encoder: not-a-codec' >&2\n"
                      "exit 1\n");
    }
};

TEST_F(ChildProcessDiagnosticsTest, MegabytesOfDiagnosticsDoNotStallTheChild)
{
    ResetPeakResident();
    const long peakBefore = PeakResidentKiB();
    ChildProcess child;
    child.KeepDiagnostics(8, 4096);
    ASSERT_TRUE(child.Start(NoisyFailingTool(32), dir.path()));
    // One wait must see the end: a child whose pipe is not read during the wait would stall
    // after its first 64 KiB and never end.
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(child.WaitForExit(30000)) << "the child stalled on its standard error";
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(child.ExitCode(), 1);
    EXPECT_LE(child.DiagnosticBytesHeld(), 4096);
    // Not even for the length of one wait may the text pile up somewhere on the way. Under
    // AddressSanitizer freed blocks stay in quarantine, which raises the peak by design.
#if !defined(__SANITIZE_ADDRESS__)
    if (peakBefore > 0) {
        EXPECT_LT(PeakResidentKiB() - peakBefore, 8 * 1024) << "32 MiB written";
    }
#else
    (void)peakBefore;
#endif
    const QStringList lines = child.LastDiagnosticLines();
    EXPECT_EQ(lines.size(), 8);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QStringLiteral("Unknown encoder: not-a-codec"));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Stream #0:0: Video: h264"));
}

TEST_F(ChildProcessDiagnosticsTest, TheHeldTextStaysBoundedThroughoutTheWaitLoop)
{
    ChildProcess child;
    child.KeepDiagnostics(4, 1024);
    ASSERT_TRUE(child.Start(NoisyFailingTool(), dir.path()));
    int waits = 0;
    qsizetype largest = 0;
    while (!child.WaitForExit(200)) {
        largest = std::max(largest, child.DiagnosticBytesHeld());
        // The window does other work between waits; the child may wait for it, but not longer.
        QThread::msleep(20);
        ASSERT_LT(++waits, 150) << "the child never ended";
    }
    EXPECT_LE(largest, 1024);
    EXPECT_LE(child.DiagnosticBytesHeld(), 1024);
    EXPECT_EQ(child.LastDiagnosticLines().size(), 4);
    EXPECT_EQ(child.LastDiagnosticLines().last(), QStringLiteral("Unknown encoder: not-a-codec"));
}

TEST_F(ChildProcessDiagnosticsTest, EachStartBeginsAnEmptyTailAndDiscardingStaysTheDefault)
{
    ChildProcess kept;
    kept.KeepDiagnostics();
    ASSERT_TRUE(kept.Start(Script("echo 'first run failed' >&2\nexit 1\n"), dir.path()));
    ASSERT_TRUE(kept.WaitForExit(10000));
    EXPECT_EQ(kept.LastDiagnosticLines(), QStringList{QStringLiteral("first run failed")});
    ASSERT_TRUE(kept.Start(Script("exit 0\n"), dir.path()));
    ASSERT_TRUE(kept.WaitForExit(10000));
    EXPECT_TRUE(kept.LastDiagnosticLines().isEmpty()) << "a new run must not show the old reason";

    ChildProcess discarded;
    ASSERT_TRUE(discarded.Start(NoisyFailingTool(), dir.path()));
    ASSERT_TRUE(discarded.WaitForExit(30000));
    EXPECT_EQ(discarded.ExitCode(), 1);
    EXPECT_TRUE(discarded.LastDiagnosticLines().isEmpty());
    EXPECT_EQ(discarded.DiagnosticBytesHeld(), 0);
}

}  // namespace
