// The source's streams as read from the probe's report: real reports of the tool on generated
// clips (fixtures/probe/<clip>.txt), one per kind of source people convert.
#include "conversion/SourceStreams.h"

#include <gtest/gtest.h>

#include <cctype>

#include "support/TestSupport.h"

using ondrava::ReadSourceStreams;
using ondrava::SourceStreams;

namespace {

QString ProbeReport(const char* clip)
{
    return QString::fromUtf8(testsupport::ReadFile(testsupport::SourceDir() +
                                                   QStringLiteral("/conversion/fixtures/probe/") +
                                                   QLatin1String(clip) + QStringLiteral(".txt")));
}

struct StreamsCase {
    const char* clip;
    int video, audio, subtitle, width, height;
    const char* transfer;
    bool hdr;
};

class SourceStreamsTest : public ::testing::TestWithParam<StreamsCase> {};

TEST_P(SourceStreamsTest, ReadsTheToolsReport)
{
    const StreamsCase& c = GetParam();
    const QString report = ProbeReport(c.clip);
    ASSERT_FALSE(report.isEmpty()) << c.clip;
    const SourceStreams s = ReadSourceStreams(report);
    EXPECT_EQ(s.video, c.video);
    EXPECT_EQ(s.audio, c.audio);
    EXPECT_EQ(s.subtitle, c.subtitle);
    EXPECT_EQ(s.width, c.width);
    EXPECT_EQ(s.height, c.height);
    EXPECT_EQ(s.transfer, QString::fromUtf8(c.transfer));
    EXPECT_EQ(s.IsHdr(), c.hdr);
}

INSTANTIATE_TEST_SUITE_P(Clips, SourceStreamsTest, ::testing::Values(
    StreamsCase{"hdr-pq.mp4", 1, 1, 0, 160, 120, "smpte2084", true},
    StreamsCase{"hdr-hlg.mov", 1, 1, 0, 160, 120, "arib-std-b67", true},
    // Ten bits without colour tags: deep, but not high dynamic range.
    StreamsCase{"hevc10.mp4", 1, 1, 0, 160, 120, "", false},
    StreamsCase{"odd.webm", 1, 1, 0, 161, 121, "", false},
    // The display matrix turns the picture; the report gives the stored size.
    StreamsCase{"phone.mp4", 1, 1, 0, 160, 120, "", false},
    StreamsCase{"soundonly.mp3", 0, 1, 0, 0, 0, "", false},
    StreamsCase{"pictureonly.mp4", 1, 0, 0, 160, 120, "", false},
    // Two sound tracks and a text subtitle; all three colour names alike ("bt709") are told as one.
    StreamsCase{"tracks.mkv", 1, 2, 1, 160, 120, "", false},
    // Only the first picture counts: an HDR second video stream is not the picture converted.
    StreamsCase{"sdr-then-hdr.mkv", 2, 0, 0, 160, 120, "", false}),
    [](const auto& info) {
        std::string name = info.param.clip;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(SourceStreamsEdges, OnlyStreamLinesCount)
{
    // A title that looks like a stream line, an empty report, a tool that said nothing useful.
    const QString titled = QStringLiteral(
        "Input #0, matroska,webm, from 'x.mkv':\n"
        "  Metadata:\n"
        "    title           : Stream #0:0: Video: hevc, yuv420p10le(tv, bt2020nc/bt2020/smpte2084), 3840x2160\n"
        "  Stream #0:0: Audio: opus, 48000 Hz, stereo, fltp\n");
    const SourceStreams s = ReadSourceStreams(titled);
    EXPECT_EQ(s.video, 0);
    EXPECT_EQ(s.audio, 1);
    EXPECT_FALSE(s.IsHdr());

    const SourceStreams none = ReadSourceStreams(QString());
    EXPECT_EQ(none.video + none.audio + none.subtitle + none.width + none.height, 0);
    EXPECT_FALSE(ReadSourceStreams(QStringLiteral("x.mkv: No such file or directory\n")).IsHdr());

    // Colours without a range, and Windows line ends.
    const SourceStreams crlf = ReadSourceStreams(QStringLiteral(
        "  Stream #0:0: Video: hevc (Main 10), yuv420p10le(bt2020nc/bt2020/arib-std-b67), 1920x1080, 50 fps\r\n"));
    EXPECT_EQ(crlf.transfer, QStringLiteral("arib-std-b67"));
    EXPECT_EQ(crlf.width, 1920);
    EXPECT_EQ(crlf.height, 1080);
}

}  // namespace
