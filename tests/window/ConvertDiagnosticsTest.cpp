// A failed run explains itself in the status line's hint: the reason (here, without language
// texts, the tool's own last meaningful line) and the tool's last diagnostic lines; the end of a
// run reaches the desktop when the window is not the active one.
#include "ConvertRunFixture.h"

#include "platform/Notifications.h"

namespace ondrava::test {
namespace {

// The fake desktop, with a window that may lose the focus.
class WindowActivityServices : public FakeFormServices {
public:
    bool active = true;
    bool IsWindowActive() override { return active; }
};

class ConvertDiagnosticsTest : public ConvertRunFixture {
protected:
    WindowActivityServices desktop;
    RecordingNotifier notifier;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(desktop);
        ConvertRunFixture::SetUp();
        SetNotifier(&notifier);
    }
    void TearDown() override
    {
        SetNotifier(nullptr);
        ConvertRunFixture::TearDown();
    }
};

struct HintRow {
    const char* name;
    QByteArray toolBody;  // empty: no tool at all
    const char* status;
    QString hint;
};

TEST_F(ConvertDiagnosticsTest, OnlyAFailureExplainsItselfInTheHint)
{
    const QString chatter = QStringLiteral("frame=  100 fps=25 time=00:00:04.00");
    const QString reason = QStringLiteral("Conversion failed!");
    const HintRow rows[] = {
        {"the tool failed and said why",
         "echo 'Input #0, avi, from clip.avi:' >&2\n"
         "echo '  Stream #0:0: Video: mpeg4' >&2\n"
         "echo '   Unknown encoder: not-a-codec   ' >&2\nexit 1",
         "NoOutput",
         QStringLiteral("Unknown encoder: not-a-codec\n\nInput #0, avi, from clip.avi:\n"
                        "Stream #0:0: Video: mpeg4\nUnknown encoder: not-a-codec")},
        {"an empty output with the tool's warning",
         ": > \"$out\"\necho 'Output file is empty, nothing was encoded' >&2", "Empty",
         QStringLiteral("Output file is empty, nothing was encoded\n\n"
                        "Output file is empty, nothing was encoded")},
        {"megabytes of chatter before the reason",
         "yes '" + chatter.toUtf8() + "' | head -n 100000 >&2\n"
         "echo '" + reason.toUtf8() + "' >&2\nexit 1",
         // Progress and the closing words explain nothing: the outcome stands as the reason.
         "NoOutput",
         QStringLiteral("NoOutput\n\n") + QStringList(7, chatter).join(u'\n') + u'\n' + reason},
        {"a success says nothing", "echo 'muxing overhead: 1%' >&2\nprintf 'media' > \"$out\"",
         "Done", QString()},
        {"a tool ending with the stop code is a stop", "echo 'interrupted' >&2\nexit 40",
         "Stopped", QString()},
        {"a tool that never started has no lines", QByteArray(), "NoOutput", QStringLiteral("NoOutput")},
    };
    for (const HintRow& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(form->ProgramDir + QStringLiteral("ffmpeg"));
        if (!row.toolBody.isEmpty())
            WriteTool(row.toolBody);
        form->InfoLabel.SetHint(QStringLiteral("the reason of an earlier run"));
        form->ConvertBitBtn.UserClick();
        EXPECT_EQ(form->InfoLabel.Caption(), QString::fromLatin1(row.status));
        EXPECT_EQ(form->InfoLabel.Hint().toStdString(), row.hint.toStdString());
        EXPECT_LE(form->InfoLabel.Hint().size(), 4096);
        QFile::remove(Output());
    }
}

TEST_F(ConvertDiagnosticsTest, ARunShowsNoReasonWhileItRunsAndAStopKeepsNone)
{
    WriteTool("echo 'first attempt: Invalid argument' >&2\nexit 1");
    form->ConvertBitBtn.UserClick();
    ASSERT_EQ(form->InfoLabel.Hint(),
              QStringLiteral("first attempt: Invalid argument\n\nfirst attempt: Invalid argument"));

    WriteTool("echo 'working' >&2\nsleep 30\n");
    QStringList hintsDuringRun;
    desktop.onProcessEvents = [&](int call) {
        hintsDuringRun << form->InfoLabel.Hint();
        if (call == 3)
            form->StopConvBitBtn.UserClick();
    };
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    ASSERT_FALSE(hintsDuringRun.isEmpty());
    hintsDuringRun.removeDuplicates();
    EXPECT_EQ(hintsDuringRun, QStringList{QString()});
    EXPECT_TRUE(form->InfoLabel.Hint().isEmpty());
}

TEST_F(ConvertDiagnosticsTest, TheRealToolsReasonReachesTheHint)
{
    // The fixture's source holds four bytes of text, which the tool cannot read as media.
    ASSERT_TRUE(QFile::link(testsupport::FfmpegPath(), form->ProgramDir + QStringLiteral("ffmpeg")));
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("NoOutput"));
    EXPECT_TRUE(form->InfoLabel.Hint().contains(QStringLiteral("Invalid data found when processing input")))
        << form->InfoLabel.Hint().toStdString();
}

struct NotifyRow {
    const char* name;
    bool windowActive;
    const char* toolBody;
    const char* expectedBody;  // nullptr: no notification
};

TEST_F(ConvertDiagnosticsTest, TheOutcomeReachesTheDesktopOnlyWhenTheWindowIsNotActive)
{
    const NotifyRow rows[] = {
        {"success, window in the background", false, "printf 'media' > \"$out\"", "Done"},
        {"failure, window in the background", false, "echo 'broken' >&2\nexit 1", "NoOutput\nbroken"},
        {"success, window active", true, "printf 'media' > \"$out\"", nullptr},
        {"failure, window active", true, "exit 1", nullptr},
    };
    for (const NotifyRow& row : rows) {
        SCOPED_TRACE(row.name);
        notifier.calls.clear();
        desktop.active = row.windowActive;
        WriteTool(row.toolBody);
        form->ConvertBitBtn.UserClick();
        if (row.expectedBody) {
            ASSERT_EQ(notifier.calls.size(), 1u);
            EXPECT_EQ(notifier.calls[0].summary, QStringLiteral("Ondrava"));
            EXPECT_EQ(notifier.calls[0].body, QString::fromLatin1(row.expectedBody));
        } else {
            EXPECT_TRUE(notifier.calls.empty());
        }
        QFile::remove(Output());
    }
}

TEST_F(ConvertDiagnosticsTest, ARefusedConversionNotifiesNothing)
{
    desktop.active = false;
    WriteTool("printf 'media' > \"$out\"");
    form->OutSizeComboBox.UserType(QStringLiteral("20x20"));
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("BadSize")});
    EXPECT_TRUE(notifier.calls.empty());
}

}  // namespace
}  // namespace ondrava::test
