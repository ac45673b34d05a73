// The proposed output name, the events that propose it, the dialogs, the drop rule and the
// buttons that open the output and its folder.
#include "WindowFixture.h"

#include "platform/Shell.h"
#include "window/OutputNaming.h"

#include <QDir>
#include <QUrl>

namespace ondrava::test {
namespace {

class OutputNamingTest : public WindowFixture {
protected:
    RecordingShell shell;
    void SetUp() override { SetShell(&shell); }
    void TearDown() override { SetShell(nullptr); }
};

TEST_F(OutputNamingTest, ProposalReplacesEveryOccurrenceOfTheExtension)
{
    LoadDevices();
    struct Row {
        const char* source;
        int page;
        const char* format;  // nullptr: none chosen
        int device;
        const char* expected;
    };
    const Row rows[] = {
        {"/Clips/talk.avi", 0, "MP4", 0, "/Clips/talk.mp4"},
        {"/Clips/Talk.AVI", 0, "MP4", 0, "/Clips/Talk.mp4"},
        {"/Clips/old.avi.copy.avi", 0, "MKV", 0, "/Clips/old.mkv.copy.mkv"},
        {"/Clips/talk", 0, "MP4", 0, "/Clips/talk"},
        {"/talk.avi", 0, "WEBM", 0, "/talk.webm"},
        {"talk.avi", 0, "WEBM", 0, "/talk.webm"},
        {"/Мои клипы/\"q\" clip.avi", 0, "FLAC", 0, "/Мои клипы/\"q\" clip.flac"},
        {"/Clips/talk.avi", 0, nullptr, 0, ""},
        {"/Clips/talk.avi", 1, "MP4", 5, "/Clips/talk(Pocket Phone).mp4"},
        {"/Clips/talk.AVI.avi", 1, "MP4", 9, "/Clips/talk(Box).mkv"},
        {"/Clips/talk.avi", 1, "MP4", 0, ""},
        {"/Clips/talk.avi", 1, "MP4", 77, ""},  // not in the catalogue: as no device
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        form->VideoPageControl.SetActivePageIndex(row.page);
        form->OutFormatComboBox.SetItemIndex(row.format ? FormatIndex(QString::fromLatin1(row.format)) : -1);
        form->SelectedDeviceID = row.device;
        EXPECT_EQ(form->MakeOutFileName(QString::fromUtf8(row.source)), QString::fromUtf8(row.expected));
    }
}

TEST_F(OutputNamingTest, ProposalEventsOverwriteTheOutputBox)
{
    const QString source = MakeFile(QStringLiteral("talk.avi"));
    form->SourceFilenameEdit.UserType(source);
    form->OutVideoFileBEdit.UserType(QStringLiteral("typed by hand"));
    // Typing in the source box proposes nothing.
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), QStringLiteral("typed by hand"));

    ChooseFormat(QStringLiteral("MKV"));
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path(QStringLiteral("talk.mkv")));
    EXPECT_EQ(form->Caption(), QStringLiteral("Ondrava  (AVI -> MKV)"));

    form->VideoPageControl.UserSelectPage(1);
    EXPECT_TRUE(form->OutVideoFileBEdit.Text().isEmpty());
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
}

TEST_F(OutputNamingTest, SourceDialogSetsSourceAndProposal)
{
    const QString chosen = MakeFile(QStringLiteral("song.flac"));
    ChooseFormat(QStringLiteral("MP3"));
    services.dialogAnswers = {std::nullopt, chosen};

    form->OpenBitBtn.UserClick();  // cancelled: nothing changes
    EXPECT_TRUE(form->SourceFilenameEdit.Text().isEmpty());

    form->OpenBitBtn.UserClick();
    EXPECT_EQ(form->SourceFilenameEdit.Text(), chosen);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path(QStringLiteral("song.mp3")));
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    ASSERT_EQ(services.dialogsShown.size(), 2u);
    EXPECT_EQ(services.dialogsShown[0].Filter, kSourceDialogFilter);
    EXPECT_EQ(services.dialogsShown[0].FilterIndex, 1);
}

TEST_F(OutputNamingTest, DropAcceptsTheSourceFilterExtensionsInAnyCase)
{
    struct Row {
        const char* path;
        bool accepted;
    };
    const Row rows[] = {
        {"/a/song.OPUS", true}, {"/a/notes.txt", false}, {"/a/notes", true},
        {"/a/clip.mp", true},   {"/a/x.M4V", true},      {"/a/x.docx", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsAcceptedDropFile(QString::fromLatin1(row.path)), row.accepted) << row.path;

    ChooseFormat(QStringLiteral("MP4"));
    const QString refused = MakeFile(QStringLiteral("notes.txt"));
    form->SourceFilenameEditDropFile(&form->SourceFilenameEdit, refused, QPoint(3, 4));
    EXPECT_TRUE(form->SourceFilenameEdit.Text().isEmpty());

    const QString dropped = MakeFile(QStringLiteral("clip.MOV"));
    form->SourceFilenameEditDropFile(&form->SourceFilenameEdit, dropped, QPoint(3, 4));
    EXPECT_EQ(form->SourceFilenameEdit.Text(), dropped);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path(QStringLiteral("clip.mp4")));
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
}

TEST_F(OutputNamingTest, LeavingTheOutputBoxCompletesAMissingExtension)
{
    struct Row {
        const char* typed;
        const char* format;
        const char* expected;
    };
    const Row rows[] = {
        {"/Out/result", "FLAC", "/Out/result.flac"},
        {"/Out/result.mp3", "FLAC", "/Out/result.mp3"},
        {"", "FLAC", ""},
        {"/Out/result", nullptr, "/Out/result"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        form->OutFormatComboBox.SetItemIndex(row.format ? FormatIndex(QString::fromLatin1(row.format)) : -1);
        form->OutVideoFileBEdit.UserType(QString::fromLatin1(row.typed));
        form->OutVideoFileBEdit.UserLeave();
        EXPECT_EQ(form->OutVideoFileBEdit.Text(), QString::fromLatin1(row.expected));
    }
    // Leaving also re-judges the open buttons.
    const QString existing = MakeFile(QStringLiteral("done.mp4"));
    form->OutVideoFileBEdit.UserType(existing);
    EXPECT_FALSE(form->OpenFileBitBtn.Enabled());
    form->OutVideoFileBEdit.UserLeave();
    EXPECT_TRUE(form->OpenFileBitBtn.Enabled());
    EXPECT_TRUE(form->OpenFolderBitBtn.Enabled());
    form->OutVideoFileBEdit.UserType(Path(QStringLiteral("missing/x.mp4")));
    form->OutVideoFileBEdit.UserLeave();
    EXPECT_FALSE(form->OpenFileBitBtn.Enabled());
    EXPECT_FALSE(form->OpenFolderBitBtn.Enabled());
}

TEST_F(OutputNamingTest, OutputDialogOpensOnTheFormatsEntry)
{
    form->OutVideoFileBEdit.SetText(QStringLiteral("/Out/old.3gp"));
    ChooseFormat(QStringLiteral("3GP"));
    form->OutVideoFileBEdit.SetText(QStringLiteral("/Out/old.3gp"));
    services.dialogAnswers = {QStringLiteral("/Out/new.3gp")};
    form->OpenOutSpeedButtonClick();
    ASSERT_EQ(services.dialogsShown.size(), 1u);
    const TOpenDialog& shown = services.dialogsShown[0];
    EXPECT_EQ(shown.FilterIndex, 12);
    EXPECT_EQ(shown.InitialDir, QStringLiteral("/Out"));
    EXPECT_EQ(shown.FileName, QStringLiteral("old.3gp"));
    EXPECT_EQ(shown.DefaultExt, QStringLiteral("3gp"));
    EXPECT_EQ(shown.Filter, kOutDialogFilter);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), QStringLiteral("/Out/new.3gp"));

    form->OutFormatComboBox.SetItemIndex(-1);
    form->OpenOutSpeedButtonClick();  // cancelled
    EXPECT_EQ(services.dialogsShown[1].FilterIndex, 3);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), QStringLiteral("/Out/new.3gp"));
}

TEST_F(OutputNamingTest, OpenButtonsUseTheShell)
{
    const QString existing = MakeFile(QStringLiteral("my clip.mp4"));
    form->OutVideoFileBEdit.SetText(existing);
    form->OpenFileBitBtnClick();
    form->OpenFolderBitBtnClick();
    form->OutVideoFileBEdit.SetText(Path(QStringLiteral("not yet.mp4")));
    form->OpenFolderBitBtnClick();

    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[0].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(QUrl(shell.calls[0].target).toLocalFile(), existing);
    EXPECT_EQ(shell.calls[1].kind, QStringLiteral("ShowInFolder"));
    EXPECT_EQ(shell.calls[1].target, existing);
    EXPECT_EQ(shell.calls[2].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(QUrl(shell.calls[2].target).toLocalFile(), dir.path());
}

TEST_F(OutputNamingTest, ShellOpenTellsAddressesFilesAndPrograms)
{
    const QString localWithColon = MakeFile(QStringLiteral("http:x.mp4"));
    form->ShellOpen(QStringLiteral("https://example.invalid/help?x=1"), QString());
    form->ShellOpen(QStringLiteral("mailto:team@example.invalid"), QString());
    form->ShellOpen(localWithColon, QString());
    form->ShellOpen(QStringLiteral("/usr/bin/prog"), QStringLiteral("-a \"two words\" c"));
    form->ShellOpen(QString(), QString());

    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_EQ(shell.calls[0].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(shell.calls[0].target, QStringLiteral("https://example.invalid/help?x=1"));
    EXPECT_EQ(shell.calls[1].target, QStringLiteral("mailto:team@example.invalid"));
    EXPECT_EQ(QUrl(shell.calls[2].target).toLocalFile(), localWithColon);
    EXPECT_EQ(shell.calls[3].kind, QStringLiteral("StartDetached"));
    EXPECT_EQ(shell.calls[3].target, QStringLiteral("/usr/bin/prog"));
    EXPECT_EQ(shell.calls[3].args,
              (QStringList{QStringLiteral("-a"), QStringLiteral("two words"), QStringLiteral("c")}));
}

}  // namespace
}  // namespace ondrava::test
