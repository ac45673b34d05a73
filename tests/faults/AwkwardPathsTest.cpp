// Awkward file names through the real program and the real tool in automatic mode: each name
// reaches the tool whole, is never read as an option or a protocol, and the output is exactly
// the proposed name beside the source.
#include "ProgramRun.h"

using faults::ProgramRun;
using testsupport::ReadFile;

TEST(AwkwardPathsTest, AutomaticModeConvertsToExactlyTheProposedName)
{
    const struct Case {
        QString source;
        QString output;
        bool relative;  // given relative to the program's working folder
    } cases[] = {
        {QStringLiteral("my clip.avi"), QStringLiteral("my clip.mp4"), false},
        {QStringLiteral("say \"hi\" 'there'.avi"), QStringLiteral("say \"hi\" 'there'.mp4"), false},
        {QStringLiteral("line\nbreak.avi"), QStringLiteral("line\nbreak.mp4"), false},
        {QStringLiteral("-y.avi"), QStringLiteral("-y.mp4"), true},
        {QStringLiteral("http:clip.avi"), QStringLiteral("http:clip.mp4"), true},
        {QStringLiteral("file:clip.avi"), QStringLiteral("file:clip.mp4"), false},
        {QStringLiteral("Привет ü $HOME `x`.avi"), QStringLiteral("Привет ü $HOME `x`.mp4"), false},
    };

    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const Case& c : cases) {
        auto run = std::make_unique<ProgramRun>();
        ASSERT_TRUE(run->Valid());
        QFile::remove(run->ToolPath());
        ASSERT_TRUE(QFile::link(testsupport::FfmpegPath(), run->ToolPath()));
        ASSERT_TRUE(testsupport::MakeClip(run->Work(c.source), 1.0, true, true, QStringLiteral("160x120")))
            << c.source.toStdString();
        run->StartAutomatic(c.relative ? c.source : run->Work(c.source));
        runs.push_back(std::move(run));
    }

    for (size_t i = 0; i < runs.size(); ++i) {
        const Case& c = cases[i];
        ProgramRun& run = *runs[i];
        SCOPED_TRACE(c.source.toStdString());
        ASSERT_TRUE(run.WaitForEnd(90000)) << "the window did not close after converting";
        EXPECT_TRUE(run.EndedWell()) << run.Output();
        QStringList expected{c.output, c.source};
        expected.sort();
        EXPECT_EQ(ProgramRun::Names(run.work), expected)
            << ProgramRun::Names(run.work).join(u'|').toStdString();
        const QByteArray made = ReadFile(run.Work(c.output));
        EXPECT_GT(made.size(), 1000);
        EXPECT_EQ(made.mid(4, 4), QByteArray("ftyp")) << "not an MP4 file";
    }
}
