#include "conversion/EncodingProfile.h"

#include <algorithm>

#include "common/Convert.h"

namespace ondrava {

const int QualityTable[5][11] = {
    {28, 24, 20, 16, 12, 8, 6, 5, 4, 3, 2},
    {32, 48, 64, 96, 96, 128, 160, 192, 192, 256, 320},
    {32, 48, 48, 64, 64, 96, 96, 128, 160, 160, 192},
    {36, 34, 32, 30, 28, 26, 24, 22, 20, 18, 16},
    {53, 50, 47, 44, 41, 38, 35, 32, 28, 24, 20},
};

namespace {

enum Row { VideoQ = 0, Mp3Rate = 1, AacRate = 2, H264Crf = 3, Vp9Crf = 4 };

// A part of a size text that is not a decimal number counts as 0.
int DecimalOrZero(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? v : 0;
}

QString Num(int v) { return QString::number(v); }

QString Bitrate(int row, int p) { return QStringLiteral(" -ab ") + Num(QualityTable[row][p]) + u'K'; }

}  // namespace

QString SizeOption(const QString& sizeText, int sizeItemIndex, bool keepProportions)
{
    QString text = sizeText;
    const qsizetype blank = text.indexOf(u' ');
    if (blank >= 0)
        text.truncate(blank);
    const qsizetype x = text.indexOf(u'x');
    if (x < 0)
        return sizeItemIndex == 0 ? QString() : QStringLiteral("-1");
    const int w = DecimalOrZero(text.left(x));
    const int h = DecimalOrZero(text.mid(x + 1));
    if (w <= 50 || w > 5000 || h <= 50 || h > 5000)
        return QStringLiteral("-1");
    if (keepProportions)
        return QStringLiteral(" -vf \"scale=") + Num(w) + QStringLiteral(":trunc(ow/a/2)*2\"");
    return QStringLiteral(" -s ") + Num(w) + u'x' + Num(h);
}

OptionString BuildOptionString(const EncodingInput& in)
{
    if (in.tabIndex == 1) {
        if (!in.deviceParams)
            return {QString(), kNoDeviceMessageId};
        return {u' ' + *in.deviceParams, 0};
    }

    const bool custom = in.qualityIndex != 0;
    const QString q = custom ? QString() : QStringLiteral(" -q:a 1");
    const QString size = SizeOption(in.sizeText, in.sizeItemIndex,
                                    in.keepProportionsEnabled && in.keepProportionsChecked);
    if (size == QStringLiteral("-1"))
        return {QString(), kInvalidSizeMessageId};

    const QString ext = AsciiLower(ExtractFileExt(in.outputFileName).mid(1));
    // The track bar only ever holds 0..10; the clamp keeps a stray value inside the table.
    const int p = in.trackBarEnabled ? std::clamp(in.trackBarPosition, 0, 10) : 7;

    const bool h264Family = ext == u"mp4" || ext == u"flv" || ext == u"mkv";
    const bool audioOnly = ext == u"mp3" || ext == u"aac" || ext == u"flac";

    QString video;
    if (h264Family)
        video = QStringLiteral(" -crf ") + Num(custom ? QualityTable[H264Crf][p] : 22);
    else if (ext == u"webm")
        video = QStringLiteral(" -crf ") + Num(custom ? QualityTable[Vp9Crf][p] : 32);
    else if (!audioOnly)
        video = QStringLiteral(" -q:v ") + Num(custom ? QualityTable[VideoQ][p] : 5);

    QString codec, audio;
    // H.264 goes out as 8-bit 4:2:0 whatever the source's depth and sampling: the only form
    // that every player decodes.
    if (h264Family) {
        codec = QStringLiteral(" -vcodec libx264 -pix_fmt yuv420p");
        audio = QStringLiteral(" -c:a aac") + (custom ? Bitrate(AacRate, p) : QString());
    } else if (ext == u"webm") {
        codec = QStringLiteral(" -vcodec libvpx-vp9 -b:v 0");
        audio = QStringLiteral(" -c:a libopus") + (custom ? Bitrate(AacRate, p) : QString());
    } else if (ext == u"mpg") {
        codec = QStringLiteral(" -f vcd");
        audio = custom ? Bitrate(Mp3Rate, p) : QString();
    } else if (ext == u"avi") {
        codec = QStringLiteral(" -f avi");
        audio = QStringLiteral(" -acodec libmp3lame") + (custom ? Bitrate(Mp3Rate, p) : q);
    } else if (ext == u"wmv") {
        codec = QStringLiteral(" -vcodec wmv2");
        // The Windows Media sound encoder takes at most two channels.
        audio = QStringLiteral(" -acodec wmav2 -ac 2") + (custom ? Bitrate(AacRate, p) : QString());
    } else if (ext == u"mov") {
        codec = QStringLiteral(" -f mov -pix_fmt yuv420p");
        audio = QStringLiteral(" -c:a aac") + (custom ? Bitrate(AacRate, p) : QString());
    } else if (ext == u"3gp") {
        codec = QStringLiteral(" -vcodec h263");
        audio = QStringLiteral(" -c:a aac -ac 1 -ar 8000 -ab 32K");
    } else if (ext == u"mp3") {
        audio = custom ? QStringLiteral(" -vn -c:a libmp3lame") + Bitrate(Mp3Rate, p)
                       : QStringLiteral(" -vn -acodec libmp3lame") + q;
    } else if (ext == u"aac") {
        // Source quality takes the rate one step above the default position.
        audio = QStringLiteral(" -c:a aac") + Bitrate(AacRate, custom ? p : 8);
    } else if (ext == u"flac") {
        audio = QStringLiteral(" -vn  -acodec flac");
    } else {
        audio = QStringLiteral(" -acodec copy");
    }
    if (in.noSound && !audioOnly)
        audio = QStringLiteral(" -an");

    return {size + video + codec + audio, 0};
}

}  // namespace ondrava
