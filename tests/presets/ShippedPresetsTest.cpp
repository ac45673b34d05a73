// The device catalogue that ships with the program: its presets are well formed, each has its
// picture, and each one's parameters make the real media tool produce a file the device plays.
#include "presets/DevicePresets.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>

namespace {

using ondrava::TDevicePresets;
using ondrava::TDevPreset;

// What each shipped device must get: its codecs and the largest picture its screen takes.
struct Expected {
    const char* idName;
    const char* video;  // "" for an audio-only device
    const char* audio;
    int maxWidth;
    int maxHeight;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.idName; }

const Expected kExpected[] = {
    {"iphone", "h264", "aac", 1920, 1080},
    {"ipad", "hevc", "aac", 2048, 1536},
    {"samsunggalaxy", "h264", "aac", 1920, 1080},
    {"googlepixel", "vp9", "opus", 1920, 1080},
    {"samsunggalaxytab", "h264", "aac", 1920, 1200},
    {"amazonfirehd10", "h264", "aac", 1920, 1200},
    {"onyxboox", "h264", "aac", 1280, 960},
    {"playstation5", "h264", "aac", 1920, 1080},
    {"xboxseriesx", "hevc", "aac", 3840, 2160},
    {"steamdeck", "h264", "aac", 1280, 800},
    {"appletv4k", "hevc", "aac", 3840, 2160},
    {"firetvstick", "h264", "aac", 1920, 1080},
    {"chromecast", "vp9", "opus", 1920, 1080},
    {"sonywalkman", "", "flac", 0, 0},
    {"mp3player", "", "mp3", 0, 0},
};

QString CataloguePath() { return testsupport::BuildProgramDir() + QStringLiteral("/presets.xml"); }

QString PicturePath(const QString& fileName)
{
    return testsupport::BuildProgramDir() + QStringLiteral("/images/") + fileName;
}

// The preset texts were written for a Windows command line: blanks and tabs separate, double
// quotes group (a doubled quote inside quotes is a quote), backslashes are literal unless they
// precede a double quote.
QStringList SplitWindowsStyle(const QString& text)
{
    QStringList args;
    QString cur;
    bool inArg = false, quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == u' ' || c == u'\t') && !quoted) {
            if (inArg)
                args << cur;
            cur.clear();
            inArg = false;
            continue;
        }
        inArg = true;
        if (c == u'\\') {
            int n = 0;
            while (i < text.size() && text[i] == u'\\') {
                ++n;
                ++i;
            }
            if (i < text.size() && text[i] == u'"') {
                cur += QString(n / 2, u'\\');
                if (n % 2)
                    cur += u'"';
                else
                    --i;  // the quote is handled as a quote
            } else {
                cur += QString(n, u'\\');
                --i;
            }
        } else if (c == u'"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == u'"') {
                cur += u'"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else {
            cur += c;
        }
    }
    if (inArg)
        args << cur;
    return args;
}

TEST(WindowsStyleSplit, MatchesTheCommandLineRules)
{
    struct Case {
        const char* text;
        QStringList args;
    };
    const Case cases[] = {
        {"  -a  b\tc ", {"-a", "b", "c"}},
        {R"(-vf "scale=w='min(1920,iw)':h=2" -x)", {"-vf", "scale=w='min(1920,iw)':h=2", "-x"}},
        {R"("a ""q"" b")", {R"(a "q" b)"}},
        {R"(a\b \"c)", {R"(a\b)", R"("c)"}},
        {R"("")", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitWindowsStyle(QString::fromUtf8(c.text)), c.args) << c.text;
}

// One map of ffprobe's fields per stream of the file.
QList<QMap<QString, QString>> ProbeStreams(const QString& file)
{
    QByteArray out;
    const int rc = testsupport::RunProgram(
        testsupport::FfprobePath(),
        {"-v", "error", "-show_entries", "stream=codec_type,codec_name,width,height", "-of", "compact=p=0", file},
        &out);
    QList<QMap<QString, QString>> streams;
    if (rc != 0)
        return streams;
    for (const QString& line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)) {
        QMap<QString, QString> fields;
        for (const QString& kv : line.trimmed().split(u'|'))
            fields.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
        streams << fields;
    }
    return streams;
}

QMap<QString, QString> StreamOfType(const QList<QMap<QString, QString>>& streams, const QString& type)
{
    for (const auto& s : streams)
        if (s.value(QStringLiteral("codec_type")) == type)
            return s;
    return {};
}

TEST(ShippedCatalogue, HoldsRealDevicesWithDistinctKeys)
{
    const TDevicePresets c(CataloguePath());
    ASSERT_GE(c.Count(), 12);
    QSet<int> ids;
    QSet<QString> idNames;
    for (int i = 0; i < c.Count(); ++i) {
        const TDevPreset* d = c.Device(i);
        ASSERT_NE(d, nullptr);
        SCOPED_TRACE(d->Name.toStdString());
        EXPECT_GT(d->ID, 0);
        EXPECT_FALSE(ids.contains(d->ID));
        EXPECT_FALSE(idNames.contains(d->idName));
        ids.insert(d->ID);
        idNames.insert(d->idName);
        EXPECT_FALSE(d->Name.isEmpty());
        EXPECT_FALSE(d->Params.trimmed().isEmpty());
        // the name becomes part of an output file name and of a picture file name
        EXPECT_FALSE(d->Name.contains(u'/'));
        EXPECT_FALSE(d->Extension.isEmpty());
        EXPECT_FALSE(d->Extension.contains(u'.'));
        EXPECT_EQ(d->Params, d->Params.trimmed());
    }
}

TEST(ShippedCatalogue, EveryDeviceHasItsExpectationAndEveryExpectationItsDevice)
{
    const TDevicePresets c(CataloguePath());
    QSet<QString> inCatalogue, expected;
    for (int i = 0; i < c.Count(); ++i)
        inCatalogue.insert(c.Device(i)->idName);
    for (const Expected& e : kExpected)
        expected.insert(QString::fromLatin1(e.idName));
    EXPECT_EQ(inCatalogue, expected);
}

// A picture holds four square images side by side (up, disabled, clicked, down) in a 24-bit
// bitmap; the disabled one is grey.
void ExpectFourStatePicture(const QString& path)
{
    SCOPED_TRACE(path.toStdString());
    const QByteArray bytes = testsupport::ReadFile(path);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_TRUE(bytes.startsWith("BM"));
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]) | (static_cast<unsigned char>(bytes[29]) << 8), 24);
    const QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 4 * img.height());
    const int side = img.height();
    int coloured = 0;
    for (int y = 0; y < side; ++y)
        for (int x = side; x < 2 * side; ++x) {
            const QRgb p = img.pixel(x, y);
            if (std::abs(qRed(p) - qGreen(p)) > 2 || std::abs(qGreen(p) - qBlue(p)) > 2)
                ++coloured;
        }
    EXPECT_EQ(coloured, 0) << "the disabled image is not grey";
    EXPECT_NE(img.copy(0, 0, side, side), img.copy(side, 0, side, side));
    EXPECT_NE(img.copy(0, 0, side, side), img.copy(3 * side, 0, side, side));
}

TEST(ShippedCatalogue, EveryDeviceHasAFourStatePicture)
{
    const TDevicePresets c(CataloguePath());
    ASSERT_GT(c.Count(), 0);
    ExpectFourStatePicture(PicturePath(QStringLiteral("device1_4state.bmp")));
    for (int i = 0; i < c.Count(); ++i) {
        const QString file = QStringLiteral("device_%1.bmp").arg(c.Device(i)->idName);
        ASSERT_TRUE(QFile::exists(PicturePath(file))) << file.toStdString();
        ExpectFourStatePicture(PicturePath(file));
    }
}

// The band under the drawing where a device's picture names it, in one of its four images.
QImage NameBand(const QImage& picture, int state)
{
    const int side = picture.height();
    const int top = side * 47 / 64;
    return picture.copy(state * side, top, side, side - top).convertToFormat(QImage::Format_RGB32);
}

// Pixels of the band much darker than its background: the letters of the name.
int Ink(const QImage& band)
{
    QList<int> grey;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x)
            grey << qGray(band.pixel(x, y));
    std::sort(grey.begin(), grey.end());
    const int background = grey[grey.size() / 2];
    return int(std::count_if(grey.begin(), grey.end(), [background](int g) { return background - g >= 60; }));
}

TEST(ShippedCatalogue, DevicesCanBeToldApartByTheNameInTheirPicture)
{
    const TDevicePresets c(CataloguePath());
    std::vector<QImage> bands;
    for (int i = 0; i < c.Count(); ++i) {
        const QString file = QStringLiteral("device_%1.bmp").arg(c.Device(i)->idName);
        SCOPED_TRACE(file.toStdString());
        const QImage picture(PicturePath(file));
        ASSERT_FALSE(picture.isNull());
        // Every state, the disabled one too, shows the name with clear contrast.
        for (int state = 0; state < 4; ++state)
            EXPECT_GE(Ink(NameBand(picture, state)), 25) << "state " << state;
        bands.push_back(NameBand(picture, 0));
    }
    for (size_t i = 0; i < bands.size(); ++i)
        for (size_t j = i + 1; j < bands.size(); ++j)
            EXPECT_NE(bands[i], bands[j]) << c.Device(int(i))->Name.toStdString() << " and "
                                          << c.Device(int(j))->Name.toStdString() << " show the same name";
}

class DeviceConversionTest : public ::testing::TestWithParam<Expected> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const int id = catalogue.GetDeviceIDByName(QString::fromLatin1(GetParam().idName));
        device = catalogue.GetDeviceByID(id);
        ASSERT_NE(device, nullptr) << GetParam().idName << " is not in the catalogue";
    }

    // Runs the tool as the program does (source, then the device's parameters, then the output
    // named with the device's extension) and returns the output's path.
    QString Convert(const QString& clip, const QString& stem)
    {
        const QString out = dir.filePath(stem + u'.' + device->Extension);
        QStringList args{"-nostdin", "-y", "-v", "error", "-i", clip};
        args << SplitWindowsStyle(device->Params) << out;
        QByteArray log;
        EXPECT_EQ(testsupport::RunProgram(testsupport::FfmpegPath(), args, &log), 0) << log.toStdString();
        return out;
    }

    QTemporaryDir dir;
    TDevicePresets catalogue{CataloguePath()};
    const TDevPreset* device = nullptr;
};

TEST_P(DeviceConversionTest, MakesAFileWithTheDevicesCodecs)
{
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    ASSERT_TRUE(testsupport::MakeClip(clip, 1.0, true, true, QStringLiteral("320x240")));
    const QString out = Convert(clip, QStringLiteral("small"));
    ASSERT_TRUE(QFile::exists(out));
    EXPECT_GT(QFile(out).size(), 0);

    const auto streams = ProbeStreams(out);
    ASSERT_FALSE(streams.isEmpty()) << "ffprobe cannot read " << out.toStdString();
    const auto video = StreamOfType(streams, QStringLiteral("video"));
    const auto audio = StreamOfType(streams, QStringLiteral("audio"));
    EXPECT_EQ(video.value(QStringLiteral("codec_name")).toStdString(), std::string(GetParam().video));
    EXPECT_EQ(audio.value(QStringLiteral("codec_name")).toStdString(), std::string(GetParam().audio));
    if (*GetParam().video) {
        // a picture smaller than the screen is not blown up
        EXPECT_EQ(video.value(QStringLiteral("width")).toInt(), 320);
        EXPECT_EQ(video.value(QStringLiteral("height")).toInt(), 240);
    }
}

TEST_P(DeviceConversionTest, FitsALargePictureIntoTheScreenKeepingItsShape)
{
    if (!*GetParam().video)
        GTEST_SKIP() << "audio only";
    const QString clip = dir.filePath(QStringLiteral("large.avi"));
    ASSERT_TRUE(testsupport::MakeClip(clip, 0.1, true, false, QStringLiteral("2400x1350")));
    const auto video = StreamOfType(ProbeStreams(Convert(clip, QStringLiteral("large"))), QStringLiteral("video"));
    const int w = video.value(QStringLiteral("width")).toInt();
    const int h = video.value(QStringLiteral("height")).toInt();
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    EXPECT_LE(w, GetParam().maxWidth);
    EXPECT_LE(h, GetParam().maxHeight);
    EXPECT_TRUE(w == GetParam().maxWidth || h == GetParam().maxHeight || (w == 2400 && h == 1350))
        << w << "x" << h << " does not fill the screen";
    EXPECT_EQ(w % 2, 0);
    EXPECT_EQ(h % 2, 0);
    EXPECT_NEAR(double(w) / h, 16.0 / 9.0, 0.01) << w << "x" << h;
}

INSTANTIATE_TEST_SUITE_P(Shipped, DeviceConversionTest, ::testing::ValuesIn(kExpected),
                         [](const ::testing::TestParamInfo<Expected>& info) {
                             return std::string(info.param.idName);
                         });

}  // namespace
