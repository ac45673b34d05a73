// The sources people convert today through every format, with the real program in automatic
// mode and the real tool: surround sound, 10-bit and 4:4:4 pictures, HDR (PQ and HLG), variable
// frame rate, a turned phone video, an odd picture size, two sound tracks, sound only, picture
// only, text subtitles. Each output is judged with the tool's own prober: it is readable, H.264
// is 8-bit 4:2:0, no sound stream has more channels than its codec takes, an HDR source comes
// out BT.709 outside WEBM (WEBM keeps it), and it lasts as long as the source. A picture
// without sound cannot become a sound file: that run fails and leaves nothing.
#include "ProgramRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <deque>

using faults::ProgramRun;
using faults::WaitFor;
using testsupport::FfmpegPath;
using testsupport::FfprobePath;
using testsupport::ReadFile;

namespace {

// Two seconds: long enough that a container's rounding stays well inside 5 %.
const QString kPicture = QStringLiteral("testsrc2=size=160x120:rate=25:duration=2");
const QString kStereo = QStringLiteral("aevalsrc=0.1*sin(440*2*PI*t)|0.1*sin(550*2*PI*t):s=48000:c=stereo:d=2");
const QString kMono = QStringLiteral("sine=frequency=330:sample_rate=48000:duration=2");
const QString kSurround = QStringLiteral(
    "aevalsrc=0.1*sin(440*2*PI*t)|0.1*sin(550*2*PI*t)|0.1*sin(660*2*PI*t)|0.1*sin(110*2*PI*t)|"
    "0.1*sin(770*2*PI*t)|0.1*sin(880*2*PI*t):s=48000:c=5.1:d=2");

QStringList Lavfi(const QString& graph) { return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), graph}; }
QStringList Split(const char* text) { return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts); }

const QStringList kX264 = Split("-c:v libx264 -preset ultrafast");
const QStringList kX265 = Split("-c:v libx265 -preset ultrafast -x265-params log-level=error -pix_fmt yuv420p10le");

struct Source {
    const char* name;
    const char* file;
    bool hdr;
    // The tool's arguments that make the file (it is appended); a second step, when given,
    // reads "first.<ext>" beside it and writes the file.
    QStringList make;
    QStringList then = {};
};

const Source kSources[] = {
    {"Surround", "surround.mp4", false, Lavfi(kPicture) + Lavfi(kSurround) + kX264 + Split("-pix_fmt yuv420p -c:a aac")},
    {"TenBitHevc", "phone10.mp4", false, Lavfi(kPicture) + Lavfi(kStereo) + kX265 + Split("-c:a aac")},
    {"Screen444", "screen.mkv", false, Lavfi(kPicture) + Lavfi(kStereo) + kX264 + Split("-pix_fmt yuv444p -c:a aac")},
    {"HdrPq", "hdr-pq.mp4", true,
     Lavfi(kPicture) + Lavfi(kStereo) + kX265 +
         Split("-color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc -color_range tv -c:a aac")},
    {"HdrHlg", "hdr-hlg.mov", true,
     Lavfi(kPicture) + Lavfi(kStereo) + kX265 +
         Split("-color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc -color_range tv -c:a aac")},
    // Full rate for a second, then every third frame.
    {"VariableFrameRate", "vfr.mkv", false,
     Lavfi(kPicture) + Lavfi(kStereo) + QStringList{QStringLiteral("-vf"), QStringLiteral("select='lt(n\\,25)+not(mod(n\\,3))'")} +
         Split("-fps_mode vfr") + kX264 + Split("-pix_fmt yuv420p -c:a aac")},
    // The tool writes the display matrix only when it copies the streams.
    {"TurnedPhoneVideo", "phone.mp4", false, Lavfi(kPicture) + Lavfi(kStereo) + kX264 + Split("-pix_fmt yuv420p -c:a aac"),
     Split("-i first.mp4 -c copy -metadata:s:v:0 rotate=90")},
    {"OddSize", "window.webm", false,
     Lavfi(QStringLiteral("testsrc=size=161x121:rate=25:duration=2")) + Lavfi(kStereo) +
         Split("-pix_fmt yuv420p -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus")},
    {"TwoSoundTracks", "tracks.mkv", false,
     Lavfi(kPicture) + Lavfi(kStereo) + Lavfi(kMono) + kX264 +
         Split("-pix_fmt yuv420p -map 0:v -map 1:a -map 2:a -c:a aac -metadata:s:a:0 language=eng -metadata:s:a:1 language=rus")},
    {"SoundOnly", "song.mp3", false, Lavfi(kStereo) + Split("-c:a libmp3lame")},
    {"PictureOnly", "silent.mp4", false, Lavfi(kPicture) + kX264 + Split("-pix_fmt yuv420p")},
    {"TextSubtitles", "film.mkv", false,
     Lavfi(kPicture) + Lavfi(kStereo) + Split("-i subs.srt -map 0:v -map 1:a -map 2:s") + kX264 +
         Split("-pix_fmt yuv420p -c:a aac -c:s srt")},
};

// Test names show the source's name, not its bytes.
void PrintTo(const Source& s, std::ostream* os) { *os << s.name; }

const char* const kFormats[] = {"mp4", "webm", "flv", "mkv", "mpg", "avi", "mov", "wmv", "3gp", "mp3", "aac", "flac"};

bool IsH264Format(const QString& f)
{
    return f == u"mp4" || f == u"flv" || f == u"mkv" || f == u"mov";
}
bool IsSoundFormat(const QString& f) { return f == u"mp3" || f == u"aac" || f == u"flac"; }

// The most channels each sound encoder the formats use takes.
int ChannelLimit(const QString& codec)
{
    if (codec == u"wmav2" || codec == u"mp3" || codec == u"mp2")
        return 2;
    return 8;
}

// The prober's account of a file's streams; empty when it cannot read it.
QJsonObject Probe(const QString& file)
{
    QByteArray out;
    const int rc = testsupport::RunProgram(
        FfprobePath(),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
         QStringLiteral("stream=codec_type,codec_name,pix_fmt,channels,color_transfer,width,height"),
         QStringLiteral("-of"), QStringLiteral("json"), file},
        &out);
    return rc == 0 ? QJsonDocument::fromJson(out).object() : QJsonObject();
}

// How long a file plays. The header's figure and the packets' span each overstate a short
// clip for some containers (the Windows Media header adds some 0.1 s; 3GP's 8 kHz sound comes
// in 0.128 s frames), never understate it: the smaller of the two counts.
double Duration(const QString& file)
{
    QByteArray out;
    if (testsupport::RunProgram(FfprobePath(),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                 QStringLiteral("packet=pts_time,duration_time:format=duration"),
                                 QStringLiteral("-of"), QStringLiteral("csv=p=0"), file},
                                &out) != 0)
        return 0;
    double first = 1e9, last = 0, header = 1e9;
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        bool ptsOk = false, durationOk = false;
        const double pts = fields.value(0).toDouble(&ptsOk);
        const double duration = fields.value(1).toDouble(&durationOk);
        if (fields.size() == 1 && ptsOk) {
            header = pts;  // the format's line holds only its duration
            continue;
        }
        if (!ptsOk)
            continue;
        first = std::min(first, pts);
        last = std::max(last, pts + (durationOk ? duration : 0));
    }
    return std::min(header, last > first ? last - first : 0.0);
}

// A tool that hands probe and conversion to the real one and records how the conversion ended
// (<root>/tool.ended) and what it said (<root>/tool.log).
QByteArray RecordingTool(const ProgramRun& run)
{
    const QByteArray root = run.root.toUtf8();
    return "real='" + FfmpegPath().toUtf8() + "'\n"
           "[ \"$1\" = \"-i\" ] && exec \"$real\" \"$@\"\n"
           "echo \"$@\" > '" + root + "/tool.args'\n"
           "\"$real\" \"$@\" 2> '" + root + "/tool.log'\n"
           "rc=$?\n"
           "echo $rc > '" + root + "/tool.rc' && mv '" + root + "/tool.rc' '" + root + "/tool.ended'\n"
           "exit $rc\n";
}

class SourceCorpusTest : public ::testing::TestWithParam<Source> {
protected:
    QTemporaryDir sources;

    // Makes the source once for all formats; its path, empty when the tool could not make it.
    QString MakeSource(const Source& s)
    {
        const QString dir = sources.path();
        testsupport::WriteFile(dir + QStringLiteral("/subs.srt"),
                               "1\n00:00:00,000 --> 00:00:01,000\nHello\n\n2\n00:00:01,000 --> 00:00:02,000\nWorld\n");
        const QString file = dir + QLatin1Char('/') + QLatin1String(s.file);
        const QString first = dir + QStringLiteral("/first.") + QFileInfo(file).suffix();
        const QStringList common{QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                                 QStringLiteral("error")};
        QByteArray said;
        const auto step = [&](const QStringList& args, const QString& out) {
            QProcess p;
            p.setWorkingDirectory(dir);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(FfmpegPath(), common + args + QStringList{out});
            const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
            said += p.readAll();
            return ok;
        };
        const bool made = s.then.isEmpty() ? step(s.make, file) : step(s.make, first) && step(s.then, file);
        EXPECT_TRUE(made) << said.toStdString();
        return made ? file : QString();
    }
};

struct Conversion {
    QString format;
    std::unique_ptr<ProgramRun> run;
    QString source;
};

TEST_P(SourceCorpusTest, EveryFormatPlaysOrFailsForAReason)
{
    const Source& s = GetParam();
    ASSERT_TRUE(sources.isValid());
    const QString source = MakeSource(s);
    ASSERT_FALSE(source.isEmpty());
    const QJsonObject sourceProbe = Probe(source);
    const double sourceDuration = Duration(source);
    ASSERT_GT(sourceDuration, 1.0);
    bool sourceHasSound = false, sourceHasPicture = false;
    for (const QJsonValue& st : sourceProbe[u"streams"].toArray()) {
        sourceHasSound = sourceHasSound || st[u"codec_type"].toString() == u"audio";
        sourceHasPicture = sourceHasPicture || st[u"codec_type"].toString() == u"video";
    }

    // Three programs at a time: each spends most of its life waiting for its start timer.
    std::deque<Conversion> pending;
    for (const char* f : kFormats)
        pending.push_back({QLatin1String(f), nullptr, QString()});
    std::vector<Conversion> running, done;
    const auto start = [&](Conversion& c) {
        c.run = std::make_unique<ProgramRun>(true);
        ASSERT_TRUE(c.run->Valid());
        c.run->SetTool(RecordingTool(*c.run));
        c.source = c.run->Work(QLatin1String(s.file));
        ASSERT_TRUE(QFile::link(source, c.source));
        c.run->Start({QStringLiteral("-inName=") + c.source, QStringLiteral("-format=") + c.format,
                      QStringLiteral("-acm=autoClose")});
    };
    // A success closes the window; a failed run keeps it open, so the tool's end is its end.
    const auto ended = [](const Conversion& c) {
        const QString marker = c.run->root + QStringLiteral("/tool.ended");
        if (!QFileInfo::exists(marker))
            return false;
        // Waiting lets the process object notice that the program has ended.
        return c.run->WaitForEnd(0) || !c.run->Running() || ReadFile(marker).trimmed() != QByteArray("0");
    };
    while (!pending.empty() || !running.empty()) {
        while (running.size() < 3 && !pending.empty()) {
            running.push_back(std::move(pending.front()));
            pending.pop_front();
            start(running.back());
        }
        ASSERT_TRUE(WaitFor([&] { return std::any_of(running.begin(), running.end(), ended); }, 120000))
            << "no run ended: " << running.front().format.toStdString() << " "
            << running.front().run->Output();
        for (auto it = running.begin(); it != running.end();) {
            if (ended(*it)) {
                done.push_back(std::move(*it));
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }

    for (Conversion& c : done) {
        ProgramRun& run = *c.run;
        SCOPED_TRACE(c.format.toStdString());
        const QString said = QString::fromUtf8(ReadFile(run.root + QStringLiteral("/tool.args")) + "\n" +
                                               ReadFile(run.root + QStringLiteral("/tool.log")).right(1500));
        QStringList made = ProgramRun::Names(run.work);
        made.removeAll(QLatin1String(s.file));

        if (!sourceHasSound && IsSoundFormat(c.format)) {
            // A picture without sound cannot become a sound file: the run fails, the window
            // stays open and nothing is left behind.
            EXPECT_NE(ReadFile(run.root + QStringLiteral("/tool.ended")).trimmed(), QByteArray("0"));
            QThread::msleep(1500);
            EXPECT_TRUE(run.Running()) << "the window should stay open after a failed run";
            EXPECT_EQ(made, QStringList()) << made.join(u'|').toStdString();
            continue;
        }

        run.WaitForEnd(30000);
        EXPECT_TRUE(run.EndedWell())
            << "the run did not succeed: " << said.toStdString() << run.Output();
        ASSERT_EQ(made.size(), 1) << made.join(u'|').toStdString() << "\n" << said.toStdString();
        const QString output = run.Work(made.front());
        EXPECT_TRUE(output.endsWith(u'.' + c.format)) << output.toStdString();
        const QJsonObject probe = Probe(output);
        const QJsonArray streams = probe[u"streams"].toArray();
        ASSERT_FALSE(streams.isEmpty()) << "the output is not readable: " << said.toStdString();

        EXPECT_NEAR(Duration(output), sourceDuration, sourceDuration * 0.05) << said.toStdString();
        int pictures = 0, sounds = 0;
        for (const QJsonValue& st : streams) {
            const QString type = st[u"codec_type"].toString();
            const QString codec = st[u"codec_name"].toString();
            const QString pixels = st[u"pix_fmt"].toString();
            const QString transfer = st[u"color_transfer"].toString();
            if (type == u"audio") {
                ++sounds;
                EXPECT_LE(st[u"channels"].toInt(), ChannelLimit(codec)) << codec.toStdString();
            } else if (type == u"video") {
                ++pictures;
                if (IsH264Format(c.format)) {
                    EXPECT_EQ(codec.toStdString(), "h264");
                }
                if (codec == u"h264") {
                    EXPECT_EQ(pixels.toStdString(), "yuv420p") << said.toStdString();
                }
                if (c.format == u"3gp") {
                    EXPECT_EQ(QStringLiteral("%1x%2").arg(st[u"width"].toInt()).arg(st[u"height"].toInt()).toStdString(),
                              "176x144");
                }
                if (s.hdr && c.format == u"webm") {
                    // VP9 carries the source's depth and HDR as they are.
                    EXPECT_EQ(pixels.toStdString(), "yuv420p10le");
                    EXPECT_TRUE(transfer == u"smpte2084" || transfer == u"arib-std-b67") << transfer.toStdString();
                } else if (s.hdr) {
                    // Tone-mapped to 8-bit BT.709; formats whose codecs carry no colour tags
                    // leave them out, which players read as BT.709.
                    EXPECT_EQ(pixels.toStdString(), "yuv420p") << said.toStdString();
                    if (IsH264Format(c.format)) {
                        EXPECT_EQ(transfer.toStdString(), "bt709") << said.toStdString();
                    } else {
                        EXPECT_TRUE(transfer.isEmpty() || transfer == u"unknown" || transfer == u"bt709")
                            << transfer.toStdString();
                    }
                }
            }
        }
        EXPECT_EQ(sounds > 0, sourceHasSound);
        EXPECT_EQ(pictures > 0, sourceHasPicture && !IsSoundFormat(c.format));
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, SourceCorpusTest, ::testing::ValuesIn(kSources),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
