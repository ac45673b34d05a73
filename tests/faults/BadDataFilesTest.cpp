// The real program starting over a settings file, language file or device catalogue that is
// empty, cut short, binary, enormous or in the wrong encoding: it starts without a box that
// would wait for the user, converts in automatic mode with the defaults and closes by itself,
// and the user's readable stored values are still there afterwards.
#include "ProgramRun.h"

#include <QRandomGenerator>

#include <functional>

using faults::ProgramRun;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// The tool contract in a few lines: the probe reports a duration, the conversion writes its
// output and ends well.
const QByteArray kFakeTool =
    "if [ \"$1\" = \"-i\" ]; then\n"
    "  echo '  Duration: 00:00:02.00, start: 0.000000, bitrate: 9 kb/s' >&2\n"
    "  exit 1\n"
    "fi\n"
    "for a in \"$@\"; do out=\"$a\"; done\n"
    "printf 'out_time_ms=2000000\\nprogress=end\\n' > \"$2\"\n"
    "printf converted > \"$out\"\n";

// The user's own values, as the settings file holds them.
const char* const kUserValues[][2] = {
    {"IOutFormat", "3"},       {"IOutQuality", "6"}, {"IOutQualityType", "1"}, {"SoundEnabled", "0"},
    {"SelectedDeviceID", "2"}, {"DevPageScr", "0"},  {"Language", "English"},
};

QByteArray UserLines()
{
    QByteArray lines;
    for (const auto& v : kUserValues)
        lines += QByteArray(v[0]) + '=' + v[1] + '\n';
    return lines;
}

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (char& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

// Many megabytes of lines of no use.
QByteArray Enormous(const QByteArray& line)
{
    QByteArray bytes;
    bytes.reserve(32 << 20);
    while (bytes.size() < (30 << 20))
        bytes += line;
    return bytes;
}

QByteArray Utf16(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

struct Case {
    const char* name;
    std::function<void(ProgramRun&)> prepare;
    bool userValuesKept;  // the settings file still reads as the user's
};

// Starts every case side by side, then checks each: closed by itself after converting, the
// user's values where the file could be read.
void RunCases(const std::vector<Case>& cases)
{
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const Case& c : cases) {
        auto run = std::make_unique<ProgramRun>();
        ASSERT_TRUE(run->Valid());
        run->SetTool(kFakeTool);
        for (const auto& v : kUserValues)
            run->SetStored(QLatin1String(v[0]), QLatin1String(v[1]));
        c.prepare(*run);
        WriteFile(run->Work(QStringLiteral("clip.avi")), "the user's source");
        run->StartAutomatic(run->Work(QStringLiteral("clip.avi")));
        runs.push_back(std::move(run));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const Case& c = cases[i];
        ProgramRun& run = *runs[i];
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(run.WaitForEnd(120000)) << "the program did not convert and close by itself";
        EXPECT_TRUE(run.EndedWell()) << run.Output();
        EXPECT_EQ(ReadFile(run.Work(QStringLiteral("clip.mp4"))), QByteArray("converted"));
        EXPECT_EQ(ReadFile(run.Work(QStringLiteral("clip.avi"))), QByteArray("the user's source"));
        if (c.userValuesKept) {
            for (const auto& v : kUserValues)
                EXPECT_EQ(run.Stored(QLatin1String(v[0])), QLatin1String(v[1])) << v[0];
        }
        run.End();
    }
}

}  // namespace

TEST(BadDataFilesTest, SettingsFile)
{
    const auto write = [](const QByteArray& bytes) {
        return [bytes](ProgramRun& run) { WriteFile(run.SettingsFile(), bytes); };
    };
    RunCases({
        {"empty", write(""), false},
        {"binary", write(RandomBytes(64 << 10, 1)), false},
        {"garbage lines among the values",
         write("[General]\n" + RandomBytes(200, 2).replace('\n', ' ') + "\nno equals sign\n=no key\n" + UserLines() +
               "[\n]]]\nIOutSize=\xff\xfe\x00\x01\n\\\\\\=\\\n"),
         true},
        {"cut in the middle of a line", write("[General]\n" + UserLines() + "LastFUDate=4"), true},
        {"enormous", write("[General]\n" + UserLines() + Enormous("; a comment line of no use to anyone\n")), true},
        {"UTF-16", write(Utf16("[General]\n" + UserLines())), false},
        // Read after the command line was applied: start-up stops there with its error box,
        // which must not keep the automatic conversion waiting for a user.
        {"a value of another type", write("[General]\n" + UserLines() + "LastFUDate=1, 2\n"), true},
    });
}

TEST(BadDataFilesTest, LanguageFile)
{
    const auto write = [](const QByteArray& bytes) {
        return [bytes](ProgramRun& run) { WriteFile(run.programDir + QStringLiteral("/Languages/English.lng"), bytes); };
    };
    RunCases({
        {"empty", write(""), true},
        {"binary", write(RandomBytes(256 << 10, 3)), true},
        {"cut inside a section", write("<MainForm>\n12011=Sou"), true},
        {"enormous", write("<MainForm>\n" + Enormous("12011=" + QByteArray(200, 'w') + "\n")), true},
        {"Latin-1 letters", write("<MainForm>\n12011=Fichier d'entr\xe9\x65\n</MainForm>\n"), true},
        {"UTF-16 without a mark", write(Utf16("<MainForm>\n12011=Source\n</MainForm>\n")), true},
    });
}

TEST(BadDataFilesTest, DeviceCatalogue)
{
    const auto write = [](const QByteArray& bytes) {
        return [bytes](ProgramRun& run) { WriteFile(run.programDir + QStringLiteral("/presets.xml"), bytes); };
    };
    RunCases({
        {"empty", write(""), true},
        {"binary", write(RandomBytes(256 << 10, 4)), true},
        {"cut inside a device", write("<presets><device><id>2</id><name>Pho"), true},
        {"enormous", write("<presets>" + Enormous("<note>" + QByteArray(100, 'n') + "</note>\n") +
                            "<device><id>2</id><name>Phone</name><extension>mp4</extension></device></presets>"),
         true},
        {"UTF-16 without a mark",
         write(Utf16("<presets><device><id>2</id><name>Phone</name><extension>mp4</extension></device></presets>")), true},
    });
}
