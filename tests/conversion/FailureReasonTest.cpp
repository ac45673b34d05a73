// Why a run failed, judged from the tool's end and its last lines as ffmpeg 5.1 writes them
// (the lines are copied from real runs; DiagnosticTail splits at line feeds and carriage
// returns and trims them).
#include "conversion/FailureReason.h"

#include <gtest/gtest.h>

using ondrava::FailureCause;
using ondrava::FailureReason;
using ondrava::JudgeFailure;
using ondrava::LastMeaningfulLine;
using ondrava::RunFacts;
using ondrava::ToolReportsWriteFailure;

namespace {

const QString kTool = QStringLiteral("/opt/ondrava/ffmpeg");
const QString kSource = QStringLiteral("/home/u/Videos/clip one.avi");
const QString kMp4 = QStringLiteral("/home/u/Videos/out/clip one.mp4");
const QString kMp3 = QStringLiteral("/home/u/Videos/out/clip one.mp3");

struct Row {
    const char* name;
    QStringList lines;
    QString output;
    FailureCause cause;
    QString detail;
    bool started = true;
    bool exists = true;
    bool crashed = false;
};

QStringList Banner()
{
    return {QStringLiteral("libswresample   4.  7.100 /  4.  7.100"),
            QStringLiteral("libpostproc    56.  6.100 / 56.  6.100")};
}

QStringList OutputHeader()
{
    return {QStringLiteral("Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, mono, fltp, 70 kb/s (default)"),
            QStringLiteral("Metadata:"), QStringLiteral("handler_name    : SoundHandler"),
            QStringLiteral("vendor_id       : [0][0][0][0]")};
}

TEST(FailureReasonTest, CausesFromRealToolOutput)
{
    const Row rows[] = {
        {"tool missing", {}, kMp4, FailureCause::ToolMissing, kTool, false, false},
        {"tool there but not startable", {}, kMp4, FailureCause::ToolCannotStart, kTool, false, true},
        {"a text file as source", Banner() << kSource + QStringLiteral(": Invalid data found when processing input"),
         kMp4, FailureCause::SourceNotMedia, kSource},
        {"source gone", Banner() << kSource + QStringLiteral(": No such file or directory"), kMp4,
         FailureCause::SourceUnreadable, kSource},
        {"source not readable", Banner() << kSource + QStringLiteral(": Permission denied"), kMp4,
         FailureCause::SourceUnreadable, kSource},
        {"encoder named by the options", OutputHeader() << QStringLiteral("Unknown encoder 'libx264'"), kMp4,
         FailureCause::EncoderMissing, QStringLiteral("libx264")},
        {"encoder of a known codec missing",
         OutputHeader() << QStringLiteral("Encoder (codec vp9) not found for output stream #0:0"), kMp4,
         FailureCause::EncoderMissing, QStringLiteral("vp9")},
        {"the format's default encoder missing",
         OutputHeader() << QStringLiteral("Automatic encoder selection failed for output stream #0:0. Default "
                                          "encoder for format webm (codec vp9) is probably disabled. Please "
                                          "choose an encoder manually.")
                        << QStringLiteral("Error selecting an encoder for stream 0:0"),
         kMp4, FailureCause::EncoderMissing, QStringLiteral("vp9")},
        {"a picture-only source to an audio format",
         {QStringLiteral("encoder         : Lavc59.37.100 libx264"),
          QStringLiteral("Output #0, mp3, to '") + kMp3 + QStringLiteral("':"),
          QStringLiteral("Output file #0 does not contain any stream")},
         kMp3, FailureCause::SourceHasNoSound, QString()},
        {"no stream for a video format is the tool's word",
         {QStringLiteral("Output #0, mp4, to '") + kMp4 + QStringLiteral("':"),
          QStringLiteral("Output file #0 does not contain any stream")},
         kMp4, FailureCause::ToolSaid, QStringLiteral("Output file #0 does not contain any stream")},
        {"output folder read-only", OutputHeader() << kMp4 + QStringLiteral(": Permission denied"), kMp4,
         FailureCause::OutputNotWritable, QStringLiteral("/home/u/Videos/out")},
        {"output folder on a read-only file system", OutputHeader() << kMp4 + QStringLiteral(": Read-only file system"),
         kMp4, FailureCause::OutputNotWritable, QStringLiteral("/home/u/Videos/out")},
        {"output folder is a file", OutputHeader() << kMp4 + QStringLiteral(": Not a directory"), kMp4,
         FailureCause::OutputNotWritable, QStringLiteral("/home/u/Videos/out")},
        {"output folder gone", OutputHeader() << kMp4 + QStringLiteral(": No such file or directory"), kMp4,
         FailureCause::OutputNotWritable, QStringLiteral("/home/u/Videos/out")},
        {"disk full while writing the end",
         {QStringLiteral("encoder         : Lavc59.37.100 libmp3lame"),
          QStringLiteral("size=       0kB time=00:00:00.00 bitrate=N/A speed=   0x    Error writing trailer of ") +
              kMp3 + QStringLiteral(": No space left on device"),
          QStringLiteral("size=       9kB time=00:00:01.04 bitrate=  68.1kbits/s speed=9.86x"),
          QStringLiteral("video:0kB audio:8kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 3.851541%"),
          QStringLiteral("Error closing file ") + kMp3 + QStringLiteral(": No space left on device")},
         kMp3, FailureCause::DiskFull, QString()},
        {"disk full while writing frames",
         {QStringLiteral("frame=  120 fps= 60 q=28.0 size=    1024kB time=00:00:04.00 bitrate=2097.2kbits/s speed=   2x"),
          QStringLiteral("av_interleaved_write_frame(): No space left on device"),
          QStringLiteral("Conversion failed!")},
         kMp4, FailureCause::DiskFull, QString()},
        {"killed by a signal", {QStringLiteral("frame=   10 fps=0.0 q=28.0 size=       0kB")}, kMp4,
         FailureCause::ToolCrashed, QString(), true, true, true},
        {"an encoder that cannot open: the tool's own line",
         {QStringLiteral("[hevc_nvenc @ 0x56164f06b680] Cannot load libcuda.so.1"),
          QStringLiteral("Error initializing output stream 0:0 -- Error while opening encoder for output "
                         "stream #0:0 - maybe incorrect parameters such as bit_rate, rate, width or height"),
          QStringLiteral("Conversion failed!")},
         kMp4, FailureCause::ToolSaid,
         QStringLiteral("Error initializing output stream 0:0 -- Error while opening encoder for output stream "
                        "#0:0 - maybe incorrect parameters such as bit_rate, rate, width or height")},
        {"a complaint about another file with the same name elsewhere",
         {QStringLiteral("/tmp/clip one.avi: Permission denied")}, kMp4, FailureCause::ToolSaid,
         QStringLiteral("/tmp/clip one.avi: Permission denied")},
        {"silence", {}, kMp4, FailureCause::Unexplained, QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RunFacts facts;
        facts.toolPath = kTool;
        facts.toolStarted = row.started;
        facts.toolExists = row.exists;
        facts.crashed = row.crashed;
        facts.exitCode = row.crashed ? -1 : 1;
        facts.lastLines = row.lines;
        facts.sourcePath = kSource;
        facts.outputPath = row.output;
        const FailureReason judged = JudgeFailure(facts);
        EXPECT_EQ(int(judged.cause), int(row.cause));
        EXPECT_EQ(judged.detail.toStdString(), row.detail.toStdString());
    }
}

TEST(FailureReasonTest, TheLastMeaningfulLineSkipsProgressAndTheClosingWords)
{
    const struct {
        QStringList lines;
        QString expected;
    } rows[] = {
        {{QStringLiteral("Invalid argument"), QStringLiteral("frame=  1 fps=0.0 size=0kB"),
          QStringLiteral("Conversion failed!"), QStringLiteral("  ")},
         QStringLiteral("Invalid argument")},
        {{QStringLiteral("size=  0kB time=00:00:00.00 bitrate=N/A speed=   0x    Error writing trailer of x: I/O error")},
         QStringLiteral("Error writing trailer of x: I/O error")},
        {{QStringLiteral("Conversion failed!")}, QString()},
        {{}, QString()},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LastMeaningfulLine(row.lines).toStdString(), row.expected.toStdString());
}

TEST(FailureReasonTest, TheToolsBannerIsNoReason)
{
    // As ffmpeg 5.1 starts its standard error, then words about the run that look alike.
    const QStringList banner = {
        QStringLiteral("ffmpeg version 5.1.9-0+deb12u1 Copyright (c) 2000-2026 the FFmpeg developers"),
        QStringLiteral("built with gcc 12 (Debian 12.2.0-14+deb12u1)"),
        QStringLiteral("configuration: --prefix=/usr --extra-version=0+deb12u1 --toolchain=hardened"),
        QStringLiteral("libavutil      57. 28.100 / 57. 28.100"),
        QStringLiteral("libavdevice    59.  7.100 / 59.  7.100"),
        QStringLiteral("  libpostproc    56.  6.100 / 56.  6.100"),
    };
    const QStringList run = {
        QStringLiteral("libx264 not found"),
        QStringLiteral("[libmp3lame @ 0x55d0] Unsupported sample rate 1 Hz"),
        QStringLiteral("Unknown encoder 'libvpx-vp9'"),
        QStringLiteral("clip.txt: Invalid data found when processing input"),
    };
    for (const QString& line : banner)
        EXPECT_TRUE(ondrava::IsToolBannerLine(line)) << line.toStdString();
    for (const QString& line : run)
        EXPECT_FALSE(ondrava::IsToolBannerLine(line)) << line.toStdString();
    EXPECT_EQ(ondrava::WithoutToolBanner(banner + run), run);
    EXPECT_EQ(LastMeaningfulLine(banner), QString());
}

TEST(FailureReasonTest, AWriteFailureIsSeenEvenWhenTheToolEndsWell)
{
    EXPECT_TRUE(ToolReportsWriteFailure({QStringLiteral("Error closing file /x.mp3: No space left on device")}));
    EXPECT_TRUE(ToolReportsWriteFailure({QStringLiteral("Error writing trailer of /x.mp4: Input/output error")}));
    EXPECT_FALSE(ToolReportsWriteFailure({QStringLiteral("video:0kB audio:8kB muxing overhead: 3.85%")}));
    EXPECT_FALSE(ToolReportsWriteFailure({}));
}

}  // namespace
