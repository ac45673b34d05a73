// The option strings and command lines run through the real media tool.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "conversion/DurationProbe.h"
#include "conversion/EncodingProfile.h"
#include "conversion/Progress.h"
#include "conversion/ToolCommands.h"
#include "platform/ChildProcess.h"
#include "RealToolFixture.h"

using namespace ondrava;

namespace {

struct ConversionResult {
    bool started = false;
    bool ended = false;
    int exitCode = -1;
    QString text;
};

ConversionResult Convert(const QString& progress, const QString& source, const QString& options,
                         const QString& output)
{
    const QString dir = RealToolFixture::programDir->path();
    const CommandLine cmd = ConversionCommandLine(dir, progress, source, options, output);
    ConversionResult r;
    r.text = cmd.text;
    ChildProcess child;
    r.started = child.Start(cmd, dir);
    r.ended = r.started && child.WaitForExit(120000);
    r.exitCode = child.ExitCode();
    return r;
}

qint64 ProbeDuration(const QString& source)
{
    const QString dir = RealToolFixture::programDir->path();
    return ParseDuration(RunAndCapture(ProbeCommandLine(dir, source), dir));
}

class RealToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RealToolFixture::SetUpShared(); }
    static void TearDownTestSuite() { RealToolFixture::TearDownShared(); }
    void SetUp() override { RealToolFixture::RequireTool(); }
};

TEST_F(RealToolTest, ProbeReadsTheClipsDuration)
{
    const QString twoSeconds = RealToolFixture::work->filePath(QStringLiteral("two.mkv"));
    ASSERT_TRUE(testsupport::MakeClip(twoSeconds, 2.0, true, true, QStringLiteral("160x120")));
    EXPECT_NEAR(ProbeDuration(RealToolFixture::clip), 1000, 50);
    EXPECT_NEAR(ProbeDuration(twoSeconds), 2000, 50);
    EXPECT_EQ(ProbeDuration(RealToolFixture::work->filePath(QStringLiteral("missing.avi"))), 0);
}

struct FormatCase {
    const char* ext;
    int position;  // -1 source quality
};

class RealToolFormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    static void SetUpTestSuite() { RealToolFixture::SetUpShared(); }
    static void TearDownTestSuite() { RealToolFixture::TearDownShared(); }
    void SetUp() override { RealToolFixture::RequireTool(); }
};

TEST_P(RealToolFormatTest, OptionStringMakesAnOutputFile)
{
    const FormatCase& c = GetParam();
    const QString stem = QStringLiteral("out_%1_%2").arg(QString::fromLatin1(c.ext)).arg(c.position + 1);
    const QString output = RealToolFixture::work->filePath(stem + u'.' + QString::fromLatin1(c.ext));
    const QString progress = RealToolFixture::work->filePath(stem + QStringLiteral(".txt"));

    EncodingInput in;
    in.outputFileName = output;
    in.sizeText = QStringLiteral("Source size");
    if (c.position >= 0) {
        in.qualityIndex = 1;
        in.trackBarEnabled = true;
        in.trackBarPosition = c.position;
    }
    const OptionString options = BuildOptionString(in);
    ASSERT_TRUE(options.ok());

    const ConversionResult r = Convert(progress, RealToolFixture::clip, options.options, output);
    ASSERT_TRUE(r.started);
    ASSERT_TRUE(r.ended) << r.text.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.text.toStdString();
    EXPECT_GT(QFileInfo(output).size(), 0) << r.text.toStdString();
    // The tool's last progress report is the whole clip.
    EXPECT_NEAR(ReadProgressPercent(progress, 1000), 100, 10) << r.text.toStdString();
}

std::vector<FormatCase> AllFormats()
{
    std::vector<FormatCase> cases;
    for (const char* ext : {"mp4", "webm", "flv", "mkv", "mpg", "avi", "mov", "wmv", "3gp", "mp3", "aac", "flac"})
        for (int position : {-1, 0, 10})
            cases.push_back({ext, position});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, RealToolFormatTest, ::testing::ValuesIn(AllFormats()),
                         [](const auto& info) {
                             const int p = info.param.position;
                             return std::string(info.param.ext) + (p < 0 ? "_source" : "_p" + std::to_string(p));
                         });

// Names that a shell, an option parser or a protocol prefix would take apart.
class RealToolNameTest : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { RealToolFixture::SetUpShared(); }
    static void TearDownTestSuite() { RealToolFixture::TearDownShared(); }
    void SetUp() override { RealToolFixture::RequireTool(); }
};

TEST_P(RealToolNameTest, NameReachesTheToolAsOneLocalFile)
{
    const QString name = QString::fromUtf8(GetParam());
    QTemporaryDir here;
    ASSERT_TRUE(QFile::copy(RealToolFixture::clip, here.filePath(name + QStringLiteral(".avi"))));

    // Relative names, resolved against this program's folder, not the tool's.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here.path()));
    const qint64 duration = ProbeDuration(name + QStringLiteral(".avi"));
    const ConversionResult r = Convert(name + QStringLiteral(".txt"), name + QStringLiteral(".avi"),
                                       QStringLiteral(" -crf 30 -vcodec libx264 -c:a aac"),
                                       name + QStringLiteral(".mkv"));
    QDir::setCurrent(previous);

    EXPECT_NEAR(duration, 1000, 50);
    ASSERT_TRUE(r.ended) << r.text.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.text.toStdString();
    EXPECT_GT(QFileInfo(here.filePath(name + QStringLiteral(".mkv"))).size(), 0);
    EXPECT_NEAR(ReadProgressPercent(here.filePath(name + QStringLiteral(".txt")), duration), 100, 10);
    // Nothing else was written: no name was cut or read another way.
    EXPECT_EQ(QDir(here.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);
}

INSTANTIATE_TEST_SUITE_P(Names, RealToolNameTest,
                         ::testing::Values("with blanks  in it", "say \"hi\" there", "Žluťoučký kůň",
                                           "-y", "-leading dash", "http:x", "a:b", "pipe:1", "file:c"));

}  // namespace
