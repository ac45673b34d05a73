// A run as the desktop sees it, on the window's model with recorders: the computer kept awake
// from the tool's start to its end however the run ends, the taskbar's progress at every
// reading and hidden at the end, a call for attention and the file's buttons when the window is
// in the background.
#include "ConvertRunFixture.h"

#include "i18n/Language.h"

#include "platform/Notifications.h"
#include "platform/SleepInhibitor.h"
#include "platform/TaskbarProgress.h"

#include <set>

namespace ondrava::test {
namespace {

class BackgroundServices : public FakeFormServices {
public:
    bool active = true;
    bool IsWindowActive() override { return active; }
};

class RunOnDesktopTest : public ConvertRunFixture {
protected:
    BackgroundServices desktop;
    RecordingNotifier notifier;
    RecordingTaskbarProgress taskbar;
    RecordingSleepInhibitor inhibitor;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(desktop);
        ConvertRunFixture::SetUp();
        SetNotifier(&notifier);
        SetTaskbarProgress(&taskbar);
        SetSleepInhibitor(&inhibitor);
    }
    void TearDown() override
    {
        SetSleepInhibitor(nullptr);
        SetTaskbarProgress(nullptr);
        SetNotifier(nullptr);
        ConvertRunFixture::TearDown();
    }
    QStringList TaskbarKinds() const
    {
        QStringList kinds;
        for (const auto& call : taskbar.calls)
            kinds << call.kind;
        return kinds;
    }
};

TEST_F(RunOnDesktopTest, TheComputerStaysAwakeAndTheTaskbarFollowsWhileTheToolRuns)
{
    WriteTool(ProgressBlock(2500000) + "sleep 1.3\n" + ProgressBlock(5000000) +
              "sleep 1.3\nprintf 'media' > \"$out\"\n");
    const QString why = QStringLiteral("inhibit:Converting my \"clip\" ü.avi");
    bool awakeThroughout = true;
    desktop.onProcessEvents = [&](int) {
        awakeThroughout = awakeThroughout && inhibitor.calls == QStringList{why};
        // Every reading of the bar reaches the taskbar at once.
        if (!taskbar.calls.empty()) {
            EXPECT_DOUBLE_EQ(taskbar.calls.back().value, form->ProgressBar.Position() / 100.0);
        }
    };
    form->ConvertBitBtn.UserClick();

    EXPECT_TRUE(awakeThroughout);
    EXPECT_EQ(inhibitor.calls, (QStringList{why, QStringLiteral("release")}));
    ASSERT_GE(taskbar.calls.size(), 2u);
    EXPECT_EQ(taskbar.calls.back().kind, QStringLiteral("hide"));
    std::set<double> shown;
    for (std::size_t i = 0; i + 1 < taskbar.calls.size(); ++i) {
        EXPECT_EQ(taskbar.calls[i].kind, QStringLiteral("progress"));
        shown.insert(taskbar.calls[i].value);
    }
    for (double value : shown)
        EXPECT_TRUE(value == 0.25 || value == 0.5) << value;
    EXPECT_TRUE(notifier.calls.empty());  // the window is the active one
}

TEST_F(RunOnDesktopTest, EveryEndOfARunLetsTheComputerSleepAgain)
{
    const struct {
        const char* name;
        const char* toolBody;  // nullptr: no tool at all
        bool stop;
    } rows[] = {
        {"success", "printf 'media' > \"$out\"", false},
        {"failure", "exit 1", false},
        {"tool missing", nullptr, false},
        {"stopped", "printf 'part' > \"$out\"\nsleep 30", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(form->ProgramDir + QStringLiteral("ffmpeg"));
        if (row.toolBody)
            WriteTool(row.toolBody);
        inhibitor.calls.clear();
        taskbar.calls.clear();
        desktop.onProcessEvents = [&](int call) {
            if (row.stop && call == 3)
                form->StopConvBitBtn.UserClick();
        };
        form->ConvertBitBtn.UserClick();
        ASSERT_EQ(inhibitor.calls.size(), 2u);
        EXPECT_TRUE(inhibitor.calls[0].startsWith(QStringLiteral("inhibit:Converting ")));
        EXPECT_EQ(inhibitor.calls[1], QStringLiteral("release"));
        ASSERT_FALSE(taskbar.calls.empty());
        EXPECT_EQ(taskbar.calls.back().kind, QStringLiteral("hide"));
        QFile::remove(Output());
    }
}

TEST_F(RunOnDesktopTest, ARefusedConversionTouchesNeitherSleepNorTaskbar)
{
    WriteTool("printf 'media' > \"$out\"");
    form->OutSizeComboBox.UserType(QStringLiteral("20x20"));
    desktop.active = false;
    form->ConvertBitBtn.UserClick();
    EXPECT_TRUE(inhibitor.calls.empty());
    EXPECT_TRUE(taskbar.calls.empty());
}

TEST_F(RunOnDesktopTest, ARunEndingInTheBackgroundAsksForAttentionAndOffersTheFile)
{
    const struct {
        const char* name;
        bool windowActive;
        bool closesAfterwards;  // automatic mode's close after a success
        const char* toolBody;
        bool expectNotice;
        bool expectUrgent;
        bool expectButtons;
    } rows[] = {
        {"success in the background", false, false, "printf 'media' > \"$out\"", true, true, true},
        {"success, the window closes now", false, true, "printf 'media' > \"$out\"", true, false, false},
        {"failure in the background", false, false, "exit 1", true, true, false},
        {"success in the active window", true, false, "printf 'media' > \"$out\"", false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        notifier.calls.clear();
        taskbar.calls.clear();
        desktop.active = row.windowActive;
        form->CloseOnCompleteFlag = row.closesAfterwards;
        form->AutoTimer.SetTag(0);
        WriteTool(row.toolBody);
        form->ConvertBitBtn.UserClick();

        const bool urgent = !taskbar.calls.empty() && taskbar.calls.back().kind == QLatin1String("urgent");
        EXPECT_EQ(urgent, row.expectUrgent);
        if (urgent) {
            EXPECT_EQ(taskbar.calls.back().value, 1.0);
        }
        ASSERT_EQ(notifier.calls.size(), row.expectNotice ? 1u : 0u);
        if (row.expectNotice) {
            // The body stays the run's own account of its end.
            EXPECT_EQ(notifier.calls[0].body, form->InfoLabel.Caption());
            const FileActions& actions = notifier.calls[0].actions;
            if (row.expectButtons) {
                EXPECT_EQ(actions.file, QFileInfo(Output()).absoluteFilePath());
                EXPECT_EQ(actions.openLabel, QStringLiteral("Open"));
                EXPECT_EQ(actions.showInFolderLabel, QStringLiteral("Show in folder"));
            } else {
                EXPECT_TRUE(actions.file.isEmpty());
            }
        }
        QFile::remove(Output());
    }
}

TEST_F(RunOnDesktopTest, TheButtonsSpeakTheWindowsLanguage)
{
    form->Language = std::make_unique<TLanguage>();
    ASSERT_TRUE(form->Language->LoadLanguage(testsupport::BuildProgramDir() +
                                             QStringLiteral("/Languages/Russian.lng")));
    desktop.active = false;
    WriteTool("printf 'media' > \"$out\"");
    form->ConvertBitBtn.UserClick();
    ASSERT_EQ(notifier.calls.size(), 1u);
    EXPECT_EQ(notifier.calls[0].actions.openLabel, QStringLiteral("Открыть"));
    EXPECT_EQ(notifier.calls[0].actions.showInFolderLabel, QStringLiteral("Показать в папке"));
}

}  // namespace
}  // namespace ondrava::test
