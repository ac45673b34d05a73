// The conversion run against small fake tools: progress, stop, judging and file safety.
#include "ConvertRunFixture.h"

#include <QElapsedTimer>
#include <QThread>

namespace ondrava::test {
namespace {

class ConvertRunTest : public ConvertRunFixture {};

TEST_F(ConvertRunTest, ProgressMovesTheBarAndTheStatus)
{
    WriteTool(ProgressBlock(2500000) + "sleep 1.3\n" + ProgressBlock(5000000) +
              "sleep 1.3\nprintf 'media' > \"$out\"\n");
    std::vector<std::pair<int, QString>> seen;
    bool stopEnabledDuringRun = false;
    services.onProcessEvents = [&](int) {
        seen.emplace_back(form->ProgressBar.Position(), form->InfoLabel.Caption());
        stopEnabledDuringRun = form->StopConvBitBtn.Enabled() && !form->ConvertBitBtn.Enabled() &&
                               !form->SourceFilenameEdit.Enabled();
    };
    form->ConvertBitBtn.UserClick();

    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(stopEnabledDuringRun);
    EXPECT_EQ(seen.front().second, QStringLiteral("Busy"));
    std::set<int> positions;
    for (const auto& [position, status] : seen) {
        if (position > 0) {
            positions.insert(position);
            EXPECT_EQ(status, QStringLiteral("Busy %1%").arg(position));
        }
    }
    EXPECT_TRUE(positions.count(25) || positions.count(50));
    for (int p : positions)
        EXPECT_TRUE(p == 25 || p == 50) << p;

    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_EQ(form->ProgressBar.Position(), 100);
    EXPECT_EQ(form->TotalContentDuration, 10000);
    EXPECT_TRUE(QFileInfo(Output()).isFile());
    EXPECT_FALSE(QFileInfo::exists(form->ProgressFileName));
    EXPECT_TRUE(form->ProgressFileName.startsWith(form->AppDataDir + QStringLiteral("progress")));
    EXPECT_EQ(SoundNames(), QStringList{QStringLiteral("converted.wav")});
    EXPECT_FALSE(form->StopConvBitBtn.Enabled());
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    EXPECT_TRUE(form->SourceFilenameEdit.Enabled());
}

TEST_F(ConvertRunTest, GarbageInTheProgressFileOnlyMeansNoPercentage)
{
    WriteTool("head -c 4000 /dev/urandom > \"$pf\"\nsleep 1.5\nprintf 'media' > \"$out\"\n");
    QStringList statuses;
    services.onProcessEvents = [&](int) { statuses << form->InfoLabel.Caption(); };
    form->ConvertBitBtn.UserClick();
    statuses.removeDuplicates();
    EXPECT_EQ(statuses, QStringList{QStringLiteral("Busy")});
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_EQ(form->ProgressBar.Position(), 100);
}

struct OutcomeRow {
    const char* name;
    const char* toolBody;  // nullptr: no tool at all
    const char* status;
    bool outputRemains;
    int bar;
    const char* sound;
};

TEST_F(ConvertRunTest, OutcomesAreJudgedByExitCodeAndOutput)
{
    const OutcomeRow rows[] = {
        {"success", "printf 'media' > \"$out\"", "Done", true, 100, "converted.wav"},
        {"exit code 40", "printf 'media' > \"$out\"\nexit 40", "Stopped", false, 0, "error.wav"},
        {"tool missing", nullptr, "NoOutput", false, 0, "error.wav"},
        {"zero-byte output", ": > \"$out\"", "Empty", false, 0, "error.wav"},
        {"failure with partial output", "printf 'part' > \"$out\"\nexit 1", "NoOutput", false, 0,
         "error.wav"},
        {"killed by a signal", "printf 'part' > \"$out\"\nkill -9 $$", "NoOutput", false, 0,
         "error.wav"},
        {"no output", "exit 0", "NoOutput", false, 0, "error.wav"},
        {"ends with 0 but could not write the file's end",
         "printf 'part' > \"$out\"\necho \"Error writing trailer of $out: No space left on device\" >&2",
         "NoOutput", false, 0, "error.wav"},
    };
    for (const OutcomeRow& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(form->ProgramDir + QStringLiteral("ffmpeg"));
        if (row.toolBody)
            WriteTool(row.toolBody);
        sounds.played.clear();
        form->ProgressBar.SetPosition(50);
        form->ConvertBitBtn.UserClick();
        EXPECT_EQ(form->InfoLabel.Caption(), QString::fromLatin1(row.status));
        EXPECT_EQ(QFileInfo::exists(Output()), row.outputRemains);
        EXPECT_EQ(form->ProgressBar.Position(), row.bar);
        EXPECT_EQ(SoundNames(), QStringList{QString::fromLatin1(row.sound)});
        EXPECT_FALSE(form->StopConvBitBtn.Enabled());
        QFile::remove(Output());
    }
}

TEST_F(ConvertRunTest, StopEndsTheToolAndDeletesThePartialOutput)
{
    WriteTool("printf 'part' > \"$out\"\nsleep 30\nprintf 'more' >> \"$out\"\n");
    services.onProcessEvents = [&](int call) {
        if (call == 3)
            form->StopConvBitBtn.UserClick();
    };
    QElapsedTimer clock;
    clock.start();
    form->ConvertBitBtn.UserClick();
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(QFileInfo::exists(Output()));
    EXPECT_EQ(form->ProgressBar.Position(), 0);
    EXPECT_EQ(SoundNames(), QStringList{QStringLiteral("error.wav")});
    EXPECT_FALSE(form->StopConvFlag);
    EXPECT_FALSE(form->StopConvBitBtn.Enabled());
}

TEST_F(ConvertRunTest, StopJustAfterTheToolEndedCountsAsStopped)
{
    WriteTool("printf 'media' > \"$out\"\nsleep 0.3\n");
    // The run loop's steps only: the probe before it is waited for in steps of its own.
    form->ProgressFileName.clear();
    int runSteps = 0;
    services.onProcessEvents = [&](int) {
        if (form->ProgressFileName.isEmpty())
            return;
        if (++runSteps == 1) {
            QThread::msleep(600);  // the tool has ended, the loop has not seen it yet
            form->StopConvBitBtn.UserClick();
        }
    };
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(runSteps, 1);
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(QFileInfo::exists(Output()));
}

TEST_F(ConvertRunTest, AnExistingOutputIsRefusedOrAvoided)
{
    WriteTool("printf 'media' > \"$out\"");
    const QString existing = Output();
    testsupport::WriteFile(existing, "user's own");

    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(services.messages,
              QStringList{QStringLiteral("Exists ") + QFileInfo(existing).fileName()});
    EXPECT_TRUE(form->InfoLabel.Caption().isEmpty());
    EXPECT_TRUE(sounds.played.isEmpty());

    form->isAutoMode = true;
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(services.messages.size(), 1);
    const QString expected = Path(QStringLiteral("my \"clip\" ü[1].mp4"));
    EXPECT_EQ(Output(), expected);
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_EQ(testsupport::ReadFile(expected), QByteArray("media"));
    EXPECT_EQ(testsupport::ReadFile(existing), QByteArray("user's own"));
}

TEST_F(ConvertRunTest, AFileThatAppearedBeforeTheToolStartedIsNeverDeleted)
{
    // The probe stands in for another program that creates the output meanwhile.
    const std::pair<const char*, bool> endings[] = {
        {"exit 1", true}, {"exit 40", true}, {"kill -9 $$", true}, {": > \"$out\"", false}};
    for (const auto& [ending, untouchedByTool] : endings) {
        SCOPED_TRACE(ending);
        testsupport::WriteScript(form->ProgramDir + QStringLiteral("ffmpeg"),
                                 QByteArray("for a in \"$@\"; do out=\"$a\"; done\n"
                                            "if [ \"$1\" = \"-i\" ]; then\n"
                                            "  case \"$out\" in *.avi) printf 'theirs' > \"${out%.avi}.mp4\";; esac\n"
                                            "  exit 1\nfi\n") +
                                     ending + "\n");
        form->ConvertBitBtn.UserClick();
        EXPECT_NE(form->InfoLabel.Caption(), QStringLiteral("Done"));
        // The tool may have emptied it; the program still must not remove it.
        EXPECT_TRUE(QFileInfo(Output()).isFile());
        if (untouchedByTool) {
            EXPECT_EQ(testsupport::ReadFile(Output()), QByteArray("theirs"));
        }
        QFile::remove(Output());
    }
}

TEST_F(ConvertRunTest, RefusedOptionsShowTheirMessageAndStartNothing)
{
    WriteTool("printf 'media' > \"$out\"");
    form->OutSizeComboBox.UserType(QStringLiteral("20x20"));
    form->ConvertBitBtn.UserClick();
    form->VideoPageControl.UserSelectPage(1);
    form->OutVideoFileBEdit.SetText(Path(QStringLiteral("dev.mp4")));
    form->ConvertBitBtn.UserClick();

    EXPECT_EQ(services.messages, (QStringList{QStringLiteral("BadSize"), QStringLiteral("NoDevice")}));
    EXPECT_EQ(services.processEventsCalls, 0);
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    EXPECT_FALSE(form->StopConvBitBtn.Enabled());
    EXPECT_TRUE(form->InfoLabel.Caption().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("dev.mp4"))));
}

TEST_F(ConvertRunTest, SuccessInAutomaticModeArmsTheCloseTimer)
{
    WriteTool("printf 'media' > \"$out\"");
    form->CloseOnCompleteFlag = true;
    QFile::remove(form->ProgramDir + QStringLiteral("ffmpeg"));
    form->ConvertBitBtn.UserClick();  // fails: the flag stays
    EXPECT_TRUE(form->CloseOnCompleteFlag);
    EXPECT_FALSE(form->AutoTimer.Enabled());

    WriteTool("printf 'media' > \"$out\"");
    form->ConvertBitBtn.UserClick();
    EXPECT_FALSE(form->CloseOnCompleteFlag);
    EXPECT_EQ(form->AutoTimer.Tag(), 4);
    EXPECT_TRUE(form->AutoTimer.Enabled());
    form->AutoTimer.SetEnabled(false);
}

// The run pumps the window's events: whatever handler runs in between, the run's controls stay
// off and no second run starts.
TEST_F(ConvertRunTest, HandlersDuringARunNeitherEnableItsControlsNorStartAnother)
{
    const QString calls = form->ProgramDir + QStringLiteral("calls");
    WriteTool("echo run >> '" + calls.toUtf8() + "'\nsleep 1\nprintf 'data' > \"$out\"\n");
    std::vector<QString> enabledDuringRun;
    services.onProcessEvents = [&](int call) {
        if (call != 2)
            return;
        // Leaving the output box (the focus moves on when the run disables it), a format
        // change by the program, and Convert itself.
        form->OutVideoFileBEditExit(&form->OutVideoFileBEdit);
        form->SourceFilenameEditChange(&form->SourceFilenameEdit);
        form->ConvertBitBtnClick(&form->ConvertBitBtn);
        form->ConvertBitBtn.Click();
        for (const TControl* c : {static_cast<const TControl*>(&form->ConvertBitBtn), static_cast<const TControl*>(&form->OutFormatComboBox),
                                  static_cast<const TControl*>(&form->OutVideoFileBEdit), static_cast<const TControl*>(&form->VideoPageControl),
                                  static_cast<const TControl*>(&form->SourceFilenameEdit), static_cast<const TControl*>(&form->OpenBitBtn)})
            if (c->Enabled())
                enabledDuringRun.push_back(c->Name);
    };
    form->ConvertBitBtn.UserClick();
    EXPECT_TRUE(enabledDuringRun.empty()) << enabledDuringRun.front().toStdString();
    EXPECT_EQ(testsupport::ReadFile(calls), QByteArray("run\n"));
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    // After the run everything is back.
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    EXPECT_TRUE(form->OutVideoFileBEdit.Enabled());
    EXPECT_TRUE(form->SourceFilenameEdit.Enabled());
}

// The judgement may delete the output: the open buttons follow what is left.
TEST_F(ConvertRunTest, OpenButtonsFollowTheOutputTheJudgementLeaves)
{
    struct Case {
        const char* name;
        QByteArray tool;
        bool stop;
        bool opens;
    };
    const Case cases[] = {
        {"stopped", "printf 'part' > \"$out\"\nsleep 30\n", true, false},
        {"failed", "printf 'part' > \"$out\"\nexit 1\n", false, false},
        {"empty", ": > \"$out\"\n", false, false},
        {"done", "printf 'data' > \"$out\"\n", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Output());
        WriteTool(c.tool);
        services.onProcessEvents = [&](int call) {
            if (c.stop && call == 3)
                form->StopConvBitBtn.UserClick();
        };
        form->ConvertBitBtn.UserClick();
        EXPECT_EQ(QFileInfo::exists(Output()), c.opens);
        EXPECT_EQ(form->OpenFileBitBtn.Enabled(), c.opens);
        EXPECT_TRUE(form->OpenFolderBitBtn.Enabled());
    }
}

}  // namespace
}  // namespace ondrava::test
