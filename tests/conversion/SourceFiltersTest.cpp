// The Format tab's options completed by the probe's report (real reports of the tool, from
// fixtures/probe/): tone mapping for HDR pictures outside WEBM, even sizes where the encoder
// needs them, in one -vf chain with the size's own filter.
#include "conversion/SourceFilters.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using ondrava::AddSourceFilters;
using ondrava::BuildOptionString;
using ondrava::EncodingInput;
using ondrava::kEvenSizeFilter;
using ondrava::kToneMappingFilters;

namespace {

QString ProbeReport(const char* clip)
{
    return QString::fromUtf8(testsupport::ReadFile(testsupport::SourceDir() +
                                                   QStringLiteral("/conversion/fixtures/probe/") +
                                                   QLatin1String(clip) + QStringLiteral(".txt")));
}

enum class Size { Source, KeepProportions, Fixed };

struct FilterCase {
    const char* name;
    const char* output;
    Size size;
    const char* clip;
    // The options BuildOptionString gives, with TM standing for the tone-mapping filters and
    // EVEN for the even-size filter.
    const char* expected;
    int tab = 0;
};

EncodingInput Input(const FilterCase& c)
{
    EncodingInput in;
    in.outputFileName = QString::fromUtf8(c.output);
    in.tabIndex = c.tab;
    in.sizeText = c.size == Size::Source ? QStringLiteral("Source size") : QStringLiteral("640x480");
    in.sizeItemIndex = c.size == Size::Source ? 0 : 2;
    in.keepProportionsChecked = c.size != Size::Fixed;
    if (QString::fromUtf8(c.output).endsWith(QLatin1String(".3gp"))) {
        // The window's fixed size for 3GP, proportions not kept.
        in.sizeText = QStringLiteral("176x144");
        in.sizeItemIndex = 1;
        in.keepProportionsEnabled = false;
    }
    if (c.tab == 1)
        in.deviceParams = QStringLiteral("-c:v libx264 -pix_fmt yuv420p -vf \"scale=w='min(1280,iw)'\" -c:a aac");
    return in;
}

class SourceFiltersTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SourceFiltersTest, CompletesTheOptions)
{
    const FilterCase& c = GetParam();
    const EncodingInput in = Input(c);
    const auto built = BuildOptionString(in);
    ASSERT_TRUE(built.ok());
    const QString report = ProbeReport(c.clip);
    ASSERT_FALSE(report.isEmpty()) << c.clip;
    QString expected = QString::fromUtf8(c.expected);
    expected.replace(QStringLiteral("TM"), kToneMappingFilters).replace(QStringLiteral("EVEN"), kEvenSizeFilter);
    EXPECT_EQ(AddSourceFilters(built.options, in, report), expected);
}

const FilterCase kFilterCases[] = {
    {"PqMp4SourceSize", "/v/a.mp4", Size::Source, "hdr-pq.mp4",
     " -vf \"TM\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"HlgMkvKeepProportionsJoinsTheScale", "/v/a.mkv", Size::KeepProportions, "hdr-hlg.mov",
     " -vf \"scale=640:trunc(ow/a/2)*2,TM\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"PqMovFixedSize", "/v/a.mov", Size::Fixed, "hdr-pq.mp4",
     " -vf \"TM\" -s 640x480 -q:v 5 -f mov -pix_fmt yuv420p -c:a aac"},
    {"PqFlv", "/v/a.flv", Size::Source, "hdr-pq.mp4", " -vf \"TM\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"HlgMpg", "/v/a.mpg", Size::Source, "hdr-hlg.mov", " -vf \"TM\" -q:v 5 -f vcd"},
    {"HlgAvi", "/v/a.avi", Size::KeepProportions, "hdr-hlg.mov",
     " -vf \"scale=640:trunc(ow/a/2)*2,TM\" -q:v 5 -f avi -acodec libmp3lame -q:a 1"},
    {"PqWmv", "/v/a.wmv", Size::Source, "hdr-pq.mp4", " -vf \"TM\" -q:v 5 -vcodec wmv2 -acodec wmav2 -ac 2"},
    {"Pq3gp", "/v/a.3gp", Size::Source, "hdr-pq.mp4",
     " -vf \"TM\" -s 176x144 -q:v 5 -vcodec h263 -c:a aac -ac 1 -ar 8000 -ab 32K"},
    {"PqUpperCaseExtension", "/v/a.MP4", Size::Source, "hdr-pq.mp4",
     " -vf \"TM\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    // WEBM keeps the source's depth and HDR; sound-only outputs have no picture.
    {"PqWebmUnchanged", "/v/a.webm", Size::KeepProportions, "hdr-pq.mp4",
     " -vf \"scale=640:trunc(ow/a/2)*2\" -crf 32 -vcodec libvpx-vp9 -b:v 0 -c:a libopus"},
    {"PqMp3Unchanged", "/v/a.mp3", Size::Source, "hdr-pq.mp4", " -vn -acodec libmp3lame -q:a 1"},
    {"PqAacUnchanged", "/v/a.aac", Size::Source, "hdr-pq.mp4", " -c:a aac -ab 160K"},
    {"PqFlacUnchanged", "/v/a.flac", Size::Source, "hdr-pq.mp4", " -vn  -acodec flac"},
    {"PqOtherExtensionUnchanged", "/v/a.ts", Size::Source, "hdr-pq.mp4", " -q:v 5 -acodec copy"},
    // Device presets stay exactly as their file gives them.
    {"PqDeviceUnchanged", "/v/a.mp4", Size::Source, "hdr-pq.mp4",
     " -c:v libx264 -pix_fmt yuv420p -vf \"scale=w='min(1280,iw)'\" -c:a aac", 1},
    // Not HDR: ten bits without tags, a tagged second stream, no picture at all.
    {"TenBitUnchanged", "/v/a.mp4", Size::Source, "hevc10.mp4", " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"SecondStreamHdrUnchanged", "/v/a.mkv", Size::Source, "sdr-then-hdr.mkv",
     " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"SoundOnlyUnchanged", "/v/a.mp4", Size::Source, "soundonly.mp3", " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    // Odd sizes kept at the source's size: H.264 4:2:0 and Windows Media need even ones.
    {"OddMp4SourceSize", "/v/a.mp4", Size::Source, "odd.webm",
     " -vf \"EVEN\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"OddMovSourceSize", "/v/a.mov", Size::Source, "odd.webm", " -vf \"EVEN\" -q:v 5 -f mov -pix_fmt yuv420p -c:a aac"},
    {"OddWmvSourceSize", "/v/a.wmv", Size::Source, "odd.webm", " -vf \"EVEN\" -q:v 5 -vcodec wmv2 -acodec wmav2 -ac 2"},
    {"OddAviTakesOddSizes", "/v/a.avi", Size::Source, "odd.webm", " -q:v 5 -f avi -acodec libmp3lame -q:a 1"},
    {"OddWebmTakesOddSizes", "/v/a.webm", Size::Source, "odd.webm", " -crf 32 -vcodec libvpx-vp9 -b:v 0 -c:a libopus"},
    {"OddMp4NewSizeIsEven", "/v/a.mp4", Size::KeepProportions, "odd.webm",
     " -vf \"scale=640:trunc(ow/a/2)*2\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SourceFiltersTest, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SourceFiltersEdges, OddHdrPictureGetsBothInOrderAndAnEmptyReportNothing)
{
    EncodingInput in;
    in.outputFileName = QStringLiteral("/v/a.mp4");
    in.sizeText = QStringLiteral("Source size");
    const QString options = BuildOptionString(in).options;
    const QString oddHdr = QStringLiteral(
        "  Stream #0:0: Video: hevc (Main 10), yuv420p10le(tv, bt2020nc/bt2020/smpte2084), 1081x1921, 30 fps\n");
    EXPECT_EQ(AddSourceFilters(options, in, oddHdr),
              QStringLiteral(" -vf \"") + kEvenSizeFilter + u',' + kToneMappingFilters + u'"' + options);
    EXPECT_EQ(AddSourceFilters(options, in, QString()), options);
}

}  // namespace
