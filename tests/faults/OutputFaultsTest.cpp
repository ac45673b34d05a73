// The real program and the real tool in automatic mode when the file system fails the run: a
// read-only output folder, the folder removed under the tool, a full disk, the source gone
// before the tool opens it. Each is a failed run: the window stays open, nothing the run made
// is left behind and nothing of the user's is touched.
#include "ProgramRun.h"

#include <functional>

using faults::ProgramRun;
using faults::WaitFor;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// A tool that runs the real one on the conversion's arguments, with `prepare` before and `run`
// instead of the plain call ($out the output, $src the source, $real the real tool); it
// records the conversion's exit code in <root>/tool.ended.
QByteArray WrappedTool(const ProgramRun& run, const QByteArray& prepare, const QByteArray& runLine)
{
    return "real='" + testsupport::FfmpegPath().toUtf8() + "'\n"
           "[ \"$1\" = \"-i\" ] && exec \"$real\" \"$@\"\n"
           "for a in \"$@\"; do out=\"$a\"; done\n"
           "prev=; for a in \"$@\"; do [ \"$prev\" = \"-i\" ] && src=\"$a\"; prev=\"$a\"; done\n" +
           prepare + "\n" + (runLine.isEmpty() ? QByteArray("\"$real\" \"$@\"") : runLine) +
           "\nrc=$?\n"
           "echo $rc > '" + run.root.toUtf8() + "/tool.ended'\n"
           "exit $rc\n";
}

}  // namespace

TEST(OutputFaultsTest, FileSystemFailuresAreFailedRuns)
{
    const struct Case {
        const char* name;
        QByteArray prepare;
        QByteArray runLine;
        bool unprivileged;                 // run as a user that cannot write a read-only folder
        QStringList left;                  // the working folder afterwards
        bool folderGone;
        bool toolFails;                    // the real tool itself reports the failure
    } cases[] = {
        {"output folder read-only", "", "", true, {QStringLiteral("clip.avi"), QStringLiteral("notes.txt")}, false, true},
        {"output folder removed while the tool writes", "",
         "\"$real\" \"$@\" & p=$!\n"
         "while kill -0 $p 2>/dev/null && [ ! -s \"$out\" ]; do sleep 0.05; done\n"
         "rm -rf \"$(dirname \"$out\")\"\n"
         "wait $p",
         false, {}, true, false},
        // The limit counts 512-byte blocks: the clip's output needs far more.
        {"disk full", "ulimit -f 24", "", false, {QStringLiteral("clip.avi"), QStringLiteral("notes.txt")}, false, true},
        {"source deleted before the tool opens it", "rm -f \"$src\"", "", false, {QStringLiteral("notes.txt")}, false, true},
    };

    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const Case& c : cases) {
        auto run = std::make_unique<ProgramRun>();
        ASSERT_TRUE(run->Valid());
        ASSERT_TRUE(testsupport::MakeClip(run->Work(QStringLiteral("clip.avi")), 4.0)) << c.name;
        WriteFile(run->Work(QStringLiteral("notes.txt")), "the user's notes");
        run->SetTool(WrappedTool(*run, c.prepare, c.runLine));
        if (c.unprivileged) {
            if (::geteuid() == 0 && !run->PrepareNobody()) {
                GTEST_SKIP() << "no unprivileged user can be made here for the read-only folder";
            }
            QFile::setPermissions(run->work, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                 QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        }
        run->StartAutomatic(run->Work(QStringLiteral("clip.avi")));
        runs.push_back(std::move(run));
    }

    for (size_t i = 0; i < runs.size(); ++i) {
        const Case& c = cases[i];
        ProgramRun& run = *runs[i];
        SCOPED_TRACE(c.name);
        const QString ended = run.root + QStringLiteral("/tool.ended");
        ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(ended); }, 90000)) << run.Output();
        if (c.toolFails) {
            EXPECT_NE(ReadFile(ended).trimmed(), QByteArray("0"));
        }
        QThread::msleep(2500);
        EXPECT_TRUE(run.Running()) << "the window should stay open after a failed run: " << run.Output();
        if (c.folderGone) {
            EXPECT_FALSE(QFileInfo::exists(run.work)) << "the removed folder came back";
        } else {
            EXPECT_EQ(ProgramRun::Names(run.work), c.left);
            EXPECT_EQ(ReadFile(run.Work(QStringLiteral("notes.txt"))), QByteArray("the user's notes"));
        }
        run.End();
    }
}
