// The conversion through the window model with Debian's ffmpeg.
#include "FakeFormServices.h"
#include "support/TestSupport.h"

#include "window/MainF.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ondrava::test {
namespace {

class ConvertEndToEndTest : public ::testing::Test {
protected:
    QTemporaryDir programDir, appDataDir, work;
    FakeFormServices services;
    TMainForm form{services};

    void SetUp() override
    {
        ASSERT_TRUE(QFile::link(testsupport::FfmpegPath(), programDir.path() + QStringLiteral("/ffmpeg")));
        form.ProgramDir = programDir.path() + QLatin1Char('/');
        form.SoundDir = form.ProgramDir + QStringLiteral("Sounds/");
        form.AppDataDir = appDataDir.path() + QLatin1Char('/');
        form.LNGA[3] = QStringLiteral("Converting");
        form.LNGA[4] = QStringLiteral("Stopped");
        form.LNGA[6] = QStringLiteral("No output");
        form.LNGA[7] = QStringLiteral("Done");
        services.pumpQt = true;
    }

    void Choose(const QString& source, const QString& format)
    {
        form.SourceFilenameEdit.UserType(source);
        form.OutFormatComboBox.UserSelect(int(form.OutFormatComboBox.Items().indexOf(format)));
    }
};

TEST_F(ConvertEndToEndTest, ConvertsAClipToMp4)
{
    const QString source = work.path() + QStringLiteral("/a clip ü.mkv");
    ASSERT_TRUE(testsupport::MakeClip(source, 2.0));
    Choose(source, QStringLiteral("MP4"));
    ASSERT_EQ(form.OutVideoFileBEdit.Text(), work.path() + QStringLiteral("/a clip ü.mp4"));
    form.ConvertBitBtn.UserClick();
    EXPECT_EQ(form.InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_EQ(form.ProgressBar.Position(), 100);
    EXPECT_GT(QFileInfo(form.OutVideoFileBEdit.Text()).size(), 0);
    EXPECT_NEAR(double(form.TotalContentDuration), 2000.0, 100.0);
    EXPECT_TRUE(QDir(appDataDir.path()).isEmpty());  // the progress file is gone
}

TEST_F(ConvertEndToEndTest, AMissingOutputFolderGivesNoOutput)
{
    const QString source = work.path() + QStringLiteral("/short.mkv");
    ASSERT_TRUE(testsupport::MakeClip(source, 1.0, true, true, QStringLiteral("160x120")));
    Choose(source, QStringLiteral("MP4"));
    form.OutVideoFileBEdit.SetText(work.path() + QStringLiteral("/missing/out.mp4"));
    form.ConvertBitBtn.UserClick();
    EXPECT_EQ(form.InfoLabel.Caption(), QStringLiteral("No output"));
    EXPECT_EQ(form.ProgressBar.Position(), 0);
}

TEST_F(ConvertEndToEndTest, StopDuringALongConversionLeavesNoOutput)
{
    const QString source = work.path() + QStringLiteral("/long.mkv");
    ASSERT_TRUE(testsupport::MakeClip(source, 20.0, true, true, QStringLiteral("640x360")));
    Choose(source, QStringLiteral("WEBM"));
    const QString output = form.OutVideoFileBEdit.Text();
    bool sawOutputWhileRunning = false;
    // The run loop's steps only; the probe before it is waited for in steps of its own.
    form.ProgressFileName.clear();
    int runSteps = 0;
    services.onProcessEvents = [&](int) {
        if (form.ProgressFileName.isEmpty())
            return;
        sawOutputWhileRunning = sawOutputWhileRunning || QFileInfo::exists(output);
        if (++runSteps == 12)
            form.StopConvBitBtn.UserClick();
    };
    form.ConvertBitBtn.UserClick();
    EXPECT_TRUE(sawOutputWhileRunning);
    EXPECT_EQ(form.InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_EQ(runSteps, 12);
}

}  // namespace
}  // namespace ondrava::test
