#include "conversion/Progress.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using ondrava::FileSizeOf;
using ondrava::ReadProgressPercent;

namespace {

// A block as the tool writes it, once per update.
QByteArray Block(const QByteArray& outTimeMs)
{
    return "frame=25\nfps=0.0\nbitrate= 512.0kbits/s\ntotal_size=65536\nout_time_us=" + outTimeMs +
           "\nout_time_ms=" + outTimeMs + "\nout_time=00:00:01.000000\nspeed=2.1x\nprogress=continue\n";
}

// Earlier blocks, pushed out of the last 160 bytes, which alone count.
QByteArray AfterHistory(const QByteArray& tail)
{
    return Block("999999999") + Block("999999999") + QByteArray(160, '-') + '\n' + tail;
}

struct ProgressCase {
    const char* name;
    QByteArray contents;
    qint64 durationMs;
    int expected;
};

class ReadProgressPercentTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ReadProgressPercentTest, Reads)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("progress73.txt");
    testsupport::WriteFile(file, GetParam().contents);
    EXPECT_EQ(ReadProgressPercent(file, GetParam().durationMs), GetParam().expected);
}

const ProgressCase kProgressCases[] = {
    {"Half", AfterHistory(Block("83450000")), 166900, 50},
    {"Start", AfterHistory(Block("0")), 166900, 0},
    {"BelowOneMillisecond", AfterHistory("out_time_ms=999\nprogress=continue\n"), 166900, 0},
    {"NotAvailable", AfterHistory("out_time_ms=N/A\nprogress=continue\n"), 166900, 0},
    {"Negative", AfterHistory("out_time_ms=-5000000\nprogress=continue\n"), 166900, 0},
    {"NotANumber", AfterHistory("out_time_ms=12a4567\nprogress=continue\n"), 166900, 0},
    {"PastTheDuration", AfterHistory(Block("16000000")), 8000, 200},
    {"HalfRoundsDownToEven", AfterHistory(Block("1000000")), 8000, 12},
    {"HalfRoundsUpToEven", AfterHistory(Block("3000000")), 8000, 38},
    {"JustPastHalf", AfterHistory(Block("1001000")), 8000, 13},
    {"FirstKeyInTheTailCounts", AfterHistory("out_time_ms=1000000\nx\nout_time_ms=7000000\n"), 8000, 12},
    {"LineNotYetEnded", AfterHistory("progress=continue\nout_time_ms=4000000"), 8000, 0},
    {"KeyBeforeTheTail", "out_time_ms=4000000\n" + QByteArray(160, 'z'), 8000, 0},
    {"ExactlyTheTail", "out_time_ms=4000000\n" + QByteArray(160 - 20, 'z'), 8000, 50},
    {"ShorterThanTheTail", "out_time_ms=4000000\n" + QByteArray(139, 'z'), 8000, 0},
    {"EmptyFile", "", 8000, 0},
    {"Garbage", QByteArray(300, '\xff') + QByteArray("=\n\x01\x02", 4) + QByteArray(300, '\x80'), 8000, 0},
    {"NoDuration", AfterHistory(Block("83450000")), 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReadProgressPercentTest, ::testing::ValuesIn(kProgressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadProgressPercent, MissingFileGivesZero)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadProgressPercent(dir.filePath("progress1.txt"), 8000), 0);
}

TEST(ReadProgressPercent, HugeFileOnlyItsTailIsRead)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("progress5.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const qint64 hundredMiB = qint64(100) << 20;
    ASSERT_TRUE(f.resize(hundredMiB));  // sparse: no disk space used
    ASSERT_TRUE(f.seek(hundredMiB));
    f.write(Block("6000000"));
    f.close();
    EXPECT_EQ(ReadProgressPercent(file, 8000), 75);

    // The same file ending in zeros after the block: the key lies before the tail.
    ASSERT_TRUE(f.resize(f.size() + 4096));
    EXPECT_EQ(ReadProgressPercent(file, 8000), 0);
}

TEST(FileSizeOf, SizesAndFailures)
{
    QTemporaryDir dir;
    testsupport::WriteFile(dir.filePath("empty"), "");
    testsupport::WriteFile(dir.filePath("five"), "12345");
    EXPECT_EQ(FileSizeOf(dir.filePath("empty")), 0);
    EXPECT_EQ(FileSizeOf(dir.filePath("five")), 5);
    EXPECT_EQ(FileSizeOf(dir.filePath("missing")), -1);
    EXPECT_EQ(FileSizeOf(dir.path()), -1);
}

}  // namespace
