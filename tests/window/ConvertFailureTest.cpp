// A failed run says why in the window's language: the real tool for every cause it can show
// here, stand-ins for a full disk and a crash. The status line becomes a link to the reason
// with the tool's last lines; a stop or a success shows none of it.
#include "ConvertRunFixture.h"

#include "common/extFunc.h"
#include "i18n/LanguageTextIds.h"
#include "platform/Notifications.h"

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrava::test {
namespace {

class ActivityServices : public FakeFormServices {
public:
    bool IsWindowActive() override { return false; }
};

class ConvertFailureTest : public ConvertRunFixture {
protected:
    ActivityServices desktop;
    RecordingNotifier notifier;
    TLanguage english;

    void SetUp() override
    {
        form = std::make_unique<TMainForm>(desktop);
        ConvertRunFixture::SetUp();
        SetNotifier(&notifier);
        ASSERT_TRUE(english.LoadLanguage(testsupport::BuildProgramDir() + QStringLiteral("/Languages/English.lng")));
        form->Language = std::make_unique<TLanguage>();
        form->Language->LoadLanguage(testsupport::BuildProgramDir() + QStringLiteral("/Languages/English.lng"));
    }
    void TearDown() override
    {
        SetNotifier(nullptr);
        ConvertRunFixture::TearDown();
    }

    QString Text(const char* id, const QString& detail = {}) const
    {
        return FillPlaceholders(english.Get(TLanguageSections::lsGeneralMessages, QString::fromLatin1(id)), detail);
    }
    QString ToolPath() const { return form->ProgramDir + QStringLiteral("ffmpeg"); }
    void UseRealTool() const
    {
        QFile::remove(ToolPath());
        ASSERT_TRUE(QFile::link(testsupport::FfmpegPath(), ToolPath()));
    }
    void UseClip(bool withSound = true)
    {
        const QString clip = Path(withSound ? QStringLiteral("clip.mkv") : QStringLiteral("pictures.mkv"));
        ASSERT_TRUE(QFileInfo::exists(clip) || testsupport::MakeClip(clip, 1.0, true, withSound));
        form->SourceFilenameEdit.UserType(clip);
    }
};

// The run as a user without write access: as root, the tool itself is started unprivileged.
bool RunToolUnprivileged(const QString& toolPath, const QStringList& sharedFolders)
{
    if (::geteuid() != 0)
        return QFile::link(testsupport::FfmpegPath(), toolPath);
    if (!::getpwnam("nobody") || !QFileInfo(QStringLiteral("/usr/bin/setpriv")).isExecutable())
        return false;
    for (const QString& folder : sharedFolders)
        ::chmod(QFile::encodeName(folder).constData(), 0777);
    testsupport::WriteScript(toolPath, "exec /usr/bin/setpriv --reuid=nobody --regid=nogroup --clear-groups '" +
                                           testsupport::FfmpegPath().toUtf8() + "' \"$@\"\n");
    return true;
}

TEST_F(ConvertFailureTest, EachCauseGetsItsReason)
{
    const struct Row {
        const char* name;
        std::function<void()> prepare;
        std::function<QString()> reason;
    } rows[] = {
        {"a text file as source (real tool)", [&] { UseRealTool(); },
         [&] { return Text(kSourceNotMediaTextId, source); }},
        {"the output folder is a file (real tool)",
         [&] {
             UseRealTool();
             UseClip();
             form->OutVideoFileBEdit.SetText(MakeFile(QStringLiteral("notes.txt")) + QStringLiteral("/clip.mp4"));
         },
         [&] { return Text(kOutputNotWritableTextId, Path(QStringLiteral("notes.txt"))); }},
        {"the tool missing", [&] { QFile::remove(ToolPath()); },
         [&] { return Text(kToolMissingTextId, ToolPath()); }},
        {"the tool not executable",
         [&] {
             QFile::remove(ToolPath());
             testsupport::WriteFile(ToolPath(), "#!/bin/sh\nexit 0\n");
         },
         [&] { return Text(kToolCannotStartTextId, ToolPath()); }},
        {"an encoder the tool lacks, through a preset (real tool)",
         [&] {
             UseRealTool();
             UseClip();
             const QString file = MakeFile(QStringLiteral("presets.xml"),
                                           "<presets><device><id>7</id><name>Odd Player</name>"
                                           "<params>-vcodec libnotthere -acodec aac</params>"
                                           "<extension>mp4</extension></device></presets>");
             form->DevicePresets = std::make_unique<TDevicePresets>(file);
             form->VideoPageControl.UserSelectPage(1);
             form->SelectedDeviceID = 7;
             form->OutVideoFileBEdit.SetText(Path(QStringLiteral("player.mp4")));
         },
         [&] { return Text(kEncoderMissingTextId, QStringLiteral("libnotthere")); }},
        {"a picture-only source to MP3 (real tool)",
         [&] {
             UseRealTool();
             UseClip(false);
             ChooseFormat(QStringLiteral("MP3"));
             form->OutVideoFileBEdit.SetText(Path(QStringLiteral("pictures.mp3")));
         },
         [&] { return Text(kSourceHasNoSoundTextId); }},
        {"a full disk (the real tool writing to a full device)",
         [&] {
             UseClip();
             ChooseFormat(QStringLiteral("MP3"));
             form->OutVideoFileBEdit.SetText(Path(QStringLiteral("clip.mp3")));
             // Every argument but the output, then the full device in its place.
             testsupport::WriteScript(ToolPath(), "n=$#; i=0; for a in \"$@\"; do i=$((i+1));"
                                                  " [ $i -lt $n ] && set -- \"$@\" \"$a\"; done; shift $n\n"
                                                  "exec '" + testsupport::FfmpegPath().toUtf8() +
                                                      "' \"$@\" -f mp3 -y /dev/full\n");
         },
         [&] { return Text(kDiskFullTextId); }},
        {"a crash (stand-in)",
         [&] { WriteTool("printf 'part' > \"$out\"\necho 'frame=   10 fps=0.0' >&2\nkill -SEGV $$"); },
         [&] { return Text(kToolCrashedTextId); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        notifier.calls.clear();
        desktop.messages.clear();
        form->VideoPageControl.UserSelectPage(0);
        ChooseFormat(QStringLiteral("MP4"));
        form->SourceFilenameEdit.UserType(source);
        WriteTool("printf 'media' > \"$out\"");
        row.prepare();
        const QString reason = row.reason();
        ASSERT_FALSE(reason.isEmpty());

        form->ConvertBitBtn.UserClick();

        EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("NoOutput"));
        EXPECT_FALSE(QFileInfo::exists(Output()));
        const QString hint = form->InfoLabel.Hint();
        EXPECT_TRUE(hint.startsWith(reason)) << hint.toStdString() << "\nexpected: " << reason.toStdString();
        // The tool's version banner says nothing of the run.
        EXPECT_FALSE(hint.contains(QStringLiteral("libpostproc")) || hint.contains(QStringLiteral("configuration:")))
            << hint.toStdString();
        EXPECT_TRUE(form->InfoLabel.IsLink());
        form->InfoLabelMouseEnter();
        EXPECT_TRUE(form->InfoLabel.Underlined());
        form->InfoLabelMouseLeave();
        EXPECT_FALSE(form->InfoLabel.Underlined());
        form->InfoLabelClick();
        EXPECT_EQ(desktop.messages, QStringList{hint});
        ASSERT_EQ(notifier.calls.size(), 1u);
        EXPECT_EQ(notifier.calls[0].body.toStdString(), (QStringLiteral("NoOutput\n") + reason).toStdString());
        QFile::remove(Output());
    }
}

TEST_F(ConvertFailureTest, AFolderWithoutWritePermission)
{
    UseClip();
    const QString folder = Path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(form->SourceFilenameEdit.Text()).constData(), 0644);
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    if (!RunToolUnprivileged(ToolPath(), {appDataDir.path()}))
        GTEST_SKIP() << "no unprivileged user to run the tool as";
    form->OutVideoFileBEdit.SetText(folder + QStringLiteral("/clip.mp4"));
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("NoOutput"));
    EXPECT_TRUE(form->InfoLabel.Hint().startsWith(Text(kOutputNotWritableTextId, folder)))
        << form->InfoLabel.Hint().toStdString();
    EXPECT_TRUE(form->InfoLabel.Hint().contains(english.Get(TLanguageSections::lsGeneralMessages,
                                                            QString::fromLatin1(kToolLastLinesTextId))));
    EXPECT_TRUE(form->InfoLabel.Hint().contains(QStringLiteral("Permission denied")));
}

TEST_F(ConvertFailureTest, ALanguageWithoutTheTextsShowsTheToolsOwnLine)
{
    UseRealTool();
    form->Language = std::make_unique<TLanguage>();  // nothing loaded
    form->ConvertBitBtn.UserClick();
    const QString line = source + QStringLiteral(": Invalid data found when processing input");
    EXPECT_TRUE(form->InfoLabel.Hint().startsWith(line + QStringLiteral("\n\n"))) << form->InfoLabel.Hint().toStdString();
    ASSERT_EQ(notifier.calls.size(), 1u);
    EXPECT_EQ(notifier.calls[0].body, QStringLiteral("NoOutput\n") + line);
}

TEST_F(ConvertFailureTest, AStopOrASuccessIsNoFailure)
{
    WriteTool("echo 'broken' >&2\nexit 1");
    form->ConvertBitBtn.UserClick();
    ASSERT_TRUE(form->InfoLabel.IsLink());

    WriteTool("echo 'working' >&2\nsleep 30");
    desktop.onProcessEvents = [&](int) {
        EXPECT_FALSE(form->InfoLabel.IsLink()) << "a running conversion is no link";
        form->StopConvBitBtn.UserClick();
    };
    form->ConvertBitBtn.UserClick();
    desktop.onProcessEvents = nullptr;
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(form->InfoLabel.IsLink());
    EXPECT_TRUE(form->InfoLabel.Hint().isEmpty());
    ASSERT_EQ(notifier.calls.size(), 2u);
    EXPECT_EQ(notifier.calls[1].body, QStringLiteral("Stopped"));
    form->InfoLabelMouseEnter();
    form->InfoLabelClick();
    EXPECT_FALSE(form->InfoLabel.Underlined());
    EXPECT_TRUE(desktop.messages.isEmpty());

    WriteTool("echo 'broken' >&2\nexit 1");
    form->ConvertBitBtn.UserClick();
    WriteTool("printf 'media' > \"$out\"");
    QFile::remove(Output());
    form->ConvertBitBtn.UserClick();
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_FALSE(form->InfoLabel.IsLink());
    EXPECT_TRUE(form->InfoLabel.Hint().isEmpty());
}

}  // namespace
}  // namespace ondrava::test
