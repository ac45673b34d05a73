// The real program in automatic mode against media tools that misbehave: it never crashes or
// hangs, closes by itself only after a success, deletes only what the failed run made, keeps the
// user's own files and leaves no tool process behind.
#include "ProgramRun.h"

using faults::KillWhenDone;
using faults::PidFromFile;
using faults::ProcessAlive;
using faults::ProgramRun;
using faults::WaitFor;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// The probe reports a duration; a conversion records its id and runs `body` with $pf the
// progress file and $out the output file, then marks that it got that far.
QByteArray FakeTool(const ProgramRun& run, const QByteArray& body)
{
    const QByteArray root = run.root.toUtf8();
    return "if [ \"$1\" = \"-i\" ]; then\n"
           "  echo '  Duration: 00:00:02.00, start: 0.000000, bitrate: 9 kb/s' >&2\n"
           "  exit 1\n"
           "fi\n"
           "echo $$ > '" + root + "/tool.pid'\n"
           "pf=\"$2\"\n"
           "for a in \"$@\"; do out=\"$a\"; done\n"
           "touch '" + root + "/tool.started'\n" +
           body + "\n";
}

// Start-up has run once the start counter is stored.
bool StartupDone(const ProgramRun& run)
{
    return !run.Stored(QStringLiteral("inmb")).isEmpty();
}

QStringList ProgressFiles(const ProgramRun& run)
{
    return QDir(run.dataHome + QStringLiteral("/Ondrava")).entryList({QStringLiteral("progress*")}, QDir::Files);
}

}  // namespace

TEST(ToolFaultsTest, AutomaticRunsAgainstMisbehavingTools)
{
    enum Tool { Missing, NotExecutable, Script };
    const struct Case {
        const char* name;
        Tool tool;
        QByteArray body;
        bool succeeds;  // the window closes by itself and the new output stays
    } cases[] = {
        {"tool missing", Missing, {}, false},
        {"tool not executable", NotExecutable, "printf x > \"$out\"", false},
        {"killed by a signal after a partial output", Script, "printf partial > \"$out\"\nkill -SEGV $$", false},
        {"exits 1 with a partial output", Script, "printf partial > \"$out\"\nexit 1", false},
        {"exits 0 without output", Script, "exit 0", false},
        {"exits 0 with an empty output", Script, ": > \"$out\"\nexit 0", false},
        {"garbage in the progress file", Script,
         "head -c 20000 /dev/urandom > \"$pf\"\nprintf 'out_time_ms=zz\\n\\0\\0=\\n' >> \"$pf\"\n"
         "printf converted > \"$out\"\nexit 0",
         true},
        {"nothing in the progress file", Script, "printf converted > \"$out\"\nexit 0", true},
    };

    // All cases run side by side; each has its own folders.
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const Case& c : cases) {
        auto run = std::make_unique<ProgramRun>();
        ASSERT_TRUE(run->Valid()) << c.name;
        QFile::remove(run->ToolPath());
        if (c.tool != Missing)
            run->SetTool(FakeTool(*run, c.body));
        if (c.tool == NotExecutable)
            QFile::setPermissions(run->ToolPath(), QFile::ReadOwner | QFile::WriteOwner);
        WriteFile(run->Work(QStringLiteral("clip.avi")), "the user's source");
        // The user's own file where the output would go: automatic mode picks another name.
        WriteFile(run->Work(QStringLiteral("clip.mp4")), "the user's own mp4");
        run->StartAutomatic(run->Work(QStringLiteral("clip.avi")));
        runs.push_back(std::move(run));
    }

    for (size_t i = 0; i < runs.size(); ++i) {
        const Case& c = cases[i];
        ProgramRun& run = *runs[i];
        SCOPED_TRACE(c.name);
        if (c.succeeds) {
            ASSERT_TRUE(run.WaitForEnd(60000)) << "the window did not close after a success";
            EXPECT_TRUE(run.EndedWell()) << run.Output();
        } else {
            // The conversion starts a second after start-up; a failure leaves the window open.
            const QString marker = run.root + QStringLiteral("/tool.started");
            if (c.tool == Script)
                ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(marker); }, 60000)) << run.Output();
            else
                ASSERT_TRUE(WaitFor([&] { return StartupDone(run); }, 60000)) << run.Output();
            QThread::msleep(c.tool == Script ? 2500 : 4000);
            EXPECT_TRUE(run.Running()) << "the window should stay open after a failed run: " << run.Output();
        }

        QStringList expected{QStringLiteral("clip.avi"), QStringLiteral("clip.mp4")};
        const QStringList names = ProgramRun::Names(run.work);
        if (c.succeeds) {
            ASSERT_EQ(names.size(), 3) << names.join(u'|').toStdString();
            const QString made = (QSet<QString>(names.begin(), names.end()) -
                                  QSet<QString>(expected.begin(), expected.end()))
                                     .values()
                                     .value(0);
            EXPECT_TRUE(made.endsWith(QLatin1String(".mp4"))) << made.toStdString();
            EXPECT_EQ(ReadFile(run.Work(made)), QByteArray("converted"));
        } else {
            EXPECT_EQ(names, expected) << "a failed run's output stays";
        }
        EXPECT_EQ(ReadFile(run.Work(QStringLiteral("clip.avi"))), QByteArray("the user's source"));
        EXPECT_EQ(ReadFile(run.Work(QStringLiteral("clip.mp4"))), QByteArray("the user's own mp4"));
        EXPECT_EQ(ProgressFiles(run), QStringList());

        const qint64 toolPid = PidFromFile(run.root + QStringLiteral("/tool.pid"));
        EXPECT_EQ(toolPid > 0, c.tool == Script);
        EXPECT_FALSE(ProcessAlive(toolPid)) << "the tool still runs";
        run.End();
    }
}

// A tool that never ends and ignores the polite signals: asking the program to end while it
// converts is refused (the window stays open for the user to stop the run); when the program
// is then ended anyway, its tool must not run on without it.
TEST(ToolFaultsTest, AHangingToolOutlivesNoEndOfTheProgram)
{
    ProgramRun run;
    ASSERT_TRUE(run.Valid());
    run.SetTool(FakeTool(run, "trap '' TERM INT HUP\nexec sleep 120"));
    WriteFile(run.Work(QStringLiteral("clip.avi")), "the user's source");
    run.StartAutomatic(run.Work(QStringLiteral("clip.avi")));

    const QString pidFile = run.root + QStringLiteral("/tool.pid");
    ASSERT_TRUE(WaitFor([&] { return PidFromFile(pidFile) > 0; }, 60000)) << run.Output();
    const qint64 toolPid = PidFromFile(pidFile);
    const KillWhenDone killTool{toolPid};
    ASSERT_TRUE(ProcessAlive(toolPid));

    ::kill(pid_t(run.process->processId()), SIGTERM);
    QThread::msleep(1500);
    EXPECT_TRUE(run.Running()) << "the window closed while converting";
    EXPECT_TRUE(ProcessAlive(toolPid));

    // A second request ends the program at once.
    ::kill(pid_t(run.process->processId()), SIGTERM);
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(toolPid); }, 3000)) << "the tool runs on without the program";
    EXPECT_EQ(ProgramRun::Names(run.work), QStringList{QStringLiteral("clip.avi")});
}

// The duration probe runs while the automatic start waits; a program killed meanwhile must not
// leave a tool reading the source behind it.
TEST(ToolFaultsTest, AHangingProbeDiesWithAKilledProgram)
{
    ProgramRun run;
    ASSERT_TRUE(run.Valid());
    const QByteArray root = run.root.toUtf8();
    run.SetTool("if [ \"$1\" = \"-i\" ]; then\n"
                "  echo $$ > '" + root + "/probe.pid'\n"
                "  trap '' TERM INT HUP\n"
                "  exec sleep 120\n"
                "fi\n"
                "exit 1\n");
    WriteFile(run.Work(QStringLiteral("clip.avi")), "the user's source");
    run.StartAutomatic(run.Work(QStringLiteral("clip.avi")));

    const QString pidFile = run.root + QStringLiteral("/probe.pid");
    ASSERT_TRUE(WaitFor([&] { return PidFromFile(pidFile) > 0; }, 60000)) << run.Output();
    const qint64 probePid = PidFromFile(pidFile);
    const KillWhenDone killProbe{probePid};
    ASSERT_TRUE(ProcessAlive(probePid));

    ::kill(pid_t(run.process->processId()), SIGKILL);
    ASSERT_TRUE(run.WaitForEnd(10000));
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(probePid); }, 3000)) << "the probe runs on without the program";
}
