#include "conversion/EncodingProfile.h"

#include <gtest/gtest.h>

using ondrava::BuildOptionString;
using ondrava::EncodingInput;
using ondrava::QualityTable;
using ondrava::SizeOption;

namespace {

// The window's state: source size, sound on, keep proportions ticked and enabled.
EncodingInput Format(const char* output, int p = -1)
{
    EncodingInput in;
    in.outputFileName = QString::fromUtf8(output);
    in.sizeText = QStringLiteral("Source size");
    in.sizeItemIndex = 0;
    if (p >= 0) {
        in.qualityIndex = 1;
        in.trackBarEnabled = true;
        in.trackBarPosition = p;
    }
    return in;
}

template <typename F>
EncodingInput With(EncodingInput in, F change)
{
    change(in);
    return in;
}

struct OptionCase {
    const char* name;
    EncodingInput input;
    const char* expected;
};

class OptionStringTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionStringTest, Builds)
{
    const auto result = BuildOptionString(GetParam().input);
    ASSERT_TRUE(result.ok()) << result.refusalMessageId;
    EXPECT_EQ(result.options, QString::fromUtf8(GetParam().expected));
}

const auto noSound = [](EncodingInput& in) { in.noSound = true; };

const OptionCase kOptionCases[] = {
    // Source quality, every format.
    {"Mp4Source", Format("/v/clip.mp4"), " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"FlvSource", Format("/v/clip.flv"), " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"MkvSource", Format("/v/clip.mkv"), " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"WebmSource", Format("/v/clip.webm"), " -crf 32 -vcodec libvpx-vp9 -b:v 0 -c:a libopus"},
    {"MpgSource", Format("/v/clip.mpg"), " -q:v 5 -f vcd"},
    {"AviSource", Format("/v/clip.avi"), " -q:v 5 -f avi -acodec libmp3lame -q:a 1"},
    {"WmvSource", Format("/v/clip.wmv"), " -q:v 5 -vcodec wmv2 -acodec wmav2 -ac 2"},
    {"MovSource", Format("/v/clip.mov"), " -q:v 5 -f mov -pix_fmt yuv420p -c:a aac"},
    {"ThreeGpSource", Format("/v/clip.3gp"), " -q:v 5 -vcodec h263 -c:a aac -ac 1 -ar 8000 -ab 32K"},
    {"Mp3Source", Format("/v/clip.mp3"), " -vn -acodec libmp3lame -q:a 1"},
    {"AacSourceTakesColumnEight", Format("/v/clip.aac"), " -c:a aac -ab 160K"},
    {"FlacSource", Format("/v/clip.flac"), " -vn  -acodec flac"},
    {"OtherExtensionCopiesSound", Format("/v/clip.m4a"), " -q:v 5 -acodec copy"},
    {"NoExtension", Format("/v/clip"), " -q:v 5 -acodec copy"},
    {"ExtensionOnlyFromFileNamePart", Format("/v/a.mp4/clip"), " -q:v 5 -acodec copy"},
    {"UpperCaseExtension", Format("/v/clip.MP4"), " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    // Custom quality at both ends and between.
    {"Mp4Custom0", Format("/v/clip.mp4", 0), " -crf 36 -vcodec libx264 -pix_fmt yuv420p -c:a aac -ab 32K"},
    {"MkvCustom10", Format("/v/clip.mkv", 10), " -crf 16 -vcodec libx264 -pix_fmt yuv420p -c:a aac -ab 192K"},
    {"WebmCustom10", Format("/v/clip.webm", 10), " -crf 20 -vcodec libvpx-vp9 -b:v 0 -c:a libopus -ab 192K"},
    {"MpgCustom0", Format("/v/clip.mpg", 0), " -q:v 28 -f vcd -ab 32K"},
    {"MpgCustom10", Format("/v/clip.mpg", 10), " -q:v 2 -f vcd -ab 320K"},
    {"WmvCustom5", Format("/v/clip.wmv", 5), " -q:v 8 -vcodec wmv2 -acodec wmav2 -ac 2 -ab 96K"},
    {"MovCustom3", Format("/v/clip.mov", 3), " -q:v 16 -f mov -pix_fmt yuv420p -c:a aac -ab 64K"},
    {"ThreeGpCustomKeepsFixedSound", Format("/v/clip.3gp", 10), " -q:v 2 -vcodec h263 -c:a aac -ac 1 -ar 8000 -ab 32K"},
    {"Mp3Custom10", Format("/v/clip.mp3", 10), " -vn -c:a libmp3lame -ab 320K"},
    {"AacCustom0", Format("/v/clip.aac", 0), " -c:a aac -ab 32K"},
    {"FlacCustom", Format("/v/clip.flac", 2), " -vn  -acodec flac"},
    {"OtherCustom", Format("/v/clip.ts", 0), " -q:v 28 -acodec copy"},
    {"AviSizedCustom8", With(Format("/v/clip.avi", 8), [](EncodingInput& in) {
         in.sizeText = QStringLiteral("640x480");
         in.sizeItemIndex = 2;
         in.keepProportionsChecked = false;
     }), " -s 640x480 -q:v 4 -f avi -acodec libmp3lame -ab 192K"},
    {"DisabledTrackBarMeansSeven", With(Format("/v/clip.mp4", 2), [](EncodingInput& in) { in.trackBarEnabled = false; }),
     " -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac -ab 128K"},
    // No sound.
    {"WebmCustom0NoSound", With(Format("/v/clip.webm", 0), noSound), " -crf 53 -vcodec libvpx-vp9 -b:v 0 -an"},
    {"OtherNoSound", With(Format("/v/clip.ts"), noSound), " -q:v 5 -an"},
    {"MpgNoSound", With(Format("/v/clip.mpg"), noSound), " -q:v 5 -f vcd -an"},
    {"WmvNoSound", With(Format("/v/clip.wmv", 4), noSound), " -q:v 12 -vcodec wmv2 -an"},
    {"MovNoSound", With(Format("/v/clip.mov"), noSound), " -q:v 5 -f mov -pix_fmt yuv420p -an"},
    {"ThreeGpNoSound", With(Format("/v/clip.3gp"), noSound), " -q:v 5 -vcodec h263 -an"},
    {"Mp3IgnoresNoSound", With(Format("/v/clip.mp3", 10), noSound), " -vn -c:a libmp3lame -ab 320K"},
    {"AacIgnoresNoSound", With(Format("/v/clip.aac"), noSound), " -c:a aac -ab 160K"},
    {"FlacIgnoresNoSound", With(Format("/v/clip.flac"), noSound), " -vn  -acodec flac"},
    // Size forms.
    {"KeepProportionsScales", With(Format("/v/clip.mp4"), [](EncodingInput& in) {
         in.sizeText = QStringLiteral("1280x720 HD");
         in.sizeItemIndex = 3;
     }), " -vf \"scale=1280:trunc(ow/a/2)*2\" -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    {"KeepProportionsDisabledGivesFixedSize", With(Format("/v/clip.mp4"), [](EncodingInput& in) {
         in.sizeText = QStringLiteral("1280x720 HD");
         in.sizeItemIndex = 3;
         in.keepProportionsEnabled = false;
     }), " -s 1280x720 -crf 22 -vcodec libx264 -pix_fmt yuv420p -c:a aac"},
    // Device tab: the preset's text alone.
    {"DeviceParams", With(Format("/v/clip.mp4"), [](EncodingInput& in) {
         in.tabIndex = 1;
         in.sizeText = QStringLiteral("1x1");  // the size plays no part here
         in.sizeItemIndex = 5;
         in.deviceParams = QStringLiteral("-vcodec mpeg4 -s 320x240 -ab 128K");
     }), " -vcodec mpeg4 -s 320x240 -ab 128K"},
    {"DeviceEmptyParams", With(Format("/v/clip.mp4"), [](EncodingInput& in) {
         in.tabIndex = 1;
         in.deviceParams = QString();
     }), " "},
};

INSTANTIATE_TEST_SUITE_P(Cases, OptionStringTest, ::testing::ValuesIn(kOptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OptionStringRefusal, InvalidSizeOrNoDevice)
{
    const auto badSize = BuildOptionString(With(Format("/v/clip.mp4"), [](EncodingInput& in) {
        in.sizeText = QStringLiteral("640X480");
        in.sizeItemIndex = 2;
    }));
    EXPECT_FALSE(badSize.ok());
    EXPECT_EQ(badSize.refusalMessageId, 13011);

    const auto noDevice = BuildOptionString(With(Format("/v/clip.mp4"), [](EncodingInput& in) { in.tabIndex = 1; }));
    EXPECT_FALSE(noDevice.ok());
    EXPECT_EQ(noDevice.refusalMessageId, 13018);
}

struct SizeCase {
    const char* text;
    int item;
    bool keep;
    const char* expected;
};

class SizeOptionTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeOptionTest, Judges)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(SizeOption(QString::fromUtf8(c.text), c.item, c.keep), QString::fromUtf8(c.expected))
        << c.text << " item " << c.item;
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeOptionTest, ::testing::Values(
    SizeCase{"1280x720 HD", 3, false, " -s 1280x720"},
    SizeCase{"1280x720 HD", 3, true, " -vf \"scale=1280:trunc(ow/a/2)*2\""},
    SizeCase{"1280x720", 0, false, " -s 1280x720"},  // a size text wins over item 0
    SizeCase{"51x51", 1, false, " -s 51x51"},
    SizeCase{"5000x5000", 1, false, " -s 5000x5000"},
    SizeCase{"50x480", 1, false, "-1"},
    SizeCase{"640x5001", 1, false, "-1"},
    SizeCase{"640x50", 1, true, "-1"},
    SizeCase{"640x", 1, false, "-1"},
    SizeCase{"wxh", 1, false, "-1"},
    SizeCase{"640x480x2", 1, false, "-1"},
    SizeCase{"640X480", 0, false, ""},
    SizeCase{"640X480", 2, false, "-1"},
    SizeCase{"Source size", 0, true, ""},
    SizeCase{"Source size", 1, false, "-1"},
    SizeCase{"", 0, false, ""},
    SizeCase{"", 4, false, "-1"}));

TEST(QualityTable, HigherPositionNeverLowersQuality)
{
    for (int p = 1; p <= 10; ++p) {
        for (int row : {0, 3, 4})
            EXPECT_LE(QualityTable[row][p], QualityTable[row][p - 1]) << "row " << row << " p " << p;
        for (int row : {1, 2})
            EXPECT_GE(QualityTable[row][p], QualityTable[row][p - 1]) << "row " << row << " p " << p;
    }
}

}  // namespace
