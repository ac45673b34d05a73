#include "conversion/DurationProbe.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using ondrava::CommandLine;
using ondrava::ParseDuration;
using ondrava::RunAndCapture;

namespace {

struct DurationCase {
    const char* name;
    const char* text;
    qint64 expected;
};

class ParseDurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(ParseDurationTest, Reads)
{
    EXPECT_EQ(ParseDuration(QString::fromUtf8(GetParam().text)), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDurationTest, ::testing::Values(
    DurationCase{"ToolReport",
                 "Input #0, avi, from 'a.avi':\n  Duration: 00:01:23.45, start: 0.000000, bitrate: 1205 kb/s\n",
                 83450},
    DurationCase{"Hundredths", "Duration: 00:00:01.05, ", 1050},
    DurationCase{"TwoHours", "Duration: 02:00:00.00,", 7200000},
    DurationCase{"NotAvailable", "Duration: N/A, start: 0.000000", 0},
    DurationCase{"NoKey", "Stream #0:0: Video: mpeg4, 00:01:23.45,", 0},
    DurationCase{"NoComma", "Duration: 00:01:23.45 start", 0},
    DurationCase{"Empty", "", 0},
    DurationCase{"FirstCounts", "Duration: 00:00:02.00, x\nDuration: 00:00:09.00, y", 2000},
    DurationCase{"ThreeHourDigitsAtFixedPositions", "Duration: 100:00:00.00, start", 36000000},
    DurationCase{"UnreadableFieldsCountZero", "Duration: 00:ab:05.xy, start", 5000},
    DurationCase{"CommaOnlyLater", "Duration: 00:00:07.00\nbitrate, more", 7000}));

class RunAndCaptureTest : public ::testing::Test {
protected:
    CommandLine Script(const QByteArray& body)
    {
        const QString path = dir.filePath("tool");
        testsupport::WriteScript(path, body);
        return CommandLine{path, {}, path};
    }
    QTemporaryDir dir;
};

TEST_F(RunAndCaptureTest, CapturesStandardErrorAndOutputInTheGivenDirectory)
{
    QTemporaryDir work;
    const QString text = RunAndCapture(Script("echo out\necho '  Duration: 00:00:03.50, start' >&2\npwd >&2\n"),
                                       work.path());
    EXPECT_TRUE(text.contains(QStringLiteral("out\n")));
    EXPECT_TRUE(text.contains(work.path()));
    EXPECT_EQ(ParseDuration(text), 3500);
}

TEST_F(RunAndCaptureTest, ChattyToolIsReadToTheEnd)
{
    // Far more than a pipe holds, the report at the very end.
    const QString text = RunAndCapture(
        Script("head -c 3000000 /dev/zero | tr '\\0' 'a' >&2\necho 'Duration: 00:00:04.00, start'\n"), dir.path());
    EXPECT_EQ(text.size(), 3000000 + 29);
    EXPECT_EQ(ParseDuration(text), 4000);
}

TEST_F(RunAndCaptureTest, MultiByteLettersSurviveAnyReadBoundary)
{
    const QString expected = QString(5000, QChar(0x00E9));
    testsupport::WriteFile(dir.filePath("letters"), expected.toUtf8());
    const QString text = RunAndCapture(Script("cat letters; sleep 0.1; printf 'x'\n"), dir.path());
    EXPECT_EQ(text, expected + u'x');
}

TEST_F(RunAndCaptureTest, MissingToolGivesEmptyText)
{
    const QString missing = dir.filePath("no-such-tool");
    EXPECT_EQ(RunAndCapture(CommandLine{missing, {}, missing}, dir.path()), QString());
}

TEST_F(RunAndCaptureTest, HangingToolIsKilledAtTheTimeLimit)
{
    QElapsedTimer timer;
    timer.start();
    const QString text = RunAndCapture(Script("echo 'Duration: 00:00:01.00, s'\nexec sleep 60\n"), dir.path(), 500);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(ParseDuration(text), 1000) << "what came before the limit is kept";
}

}  // namespace
