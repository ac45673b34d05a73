// The duration probe never freezes the window: its tool is waited for while the window's
// events are handled, and a Stop pressed meanwhile ends the conversion at once. In automatic
// mode the probe runs during the delay before the conversion, and Convert uses its result
// for the very same file only.
#include "ConvertRunFixture.h"

#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace ondrava::test {
namespace {

class ConvertProbeTest : public ConvertRunFixture {
protected:
    QString ProbeLog() const { return Path(QStringLiteral("probes.log")); }
    QStringList Probes() const
    {
        return QString::fromUtf8(testsupport::ReadFile(ProbeLog())).split(u'\n', Qt::SkipEmptyParts);
    }
    // The probe logs its source, waits `probeDelay` seconds and reports 10 s; the conversion
    // runs `body` ($out the output).
    void WriteProbingTool(const QByteArray& probeDelay, const QByteArray& body)
    {
        testsupport::WriteScript(form->ProgramDir + QStringLiteral("ffmpeg"),
                                 "if [ \"$1\" = \"-i\" ]; then\n"
                                 "  printf '%s\\n' \"$2\" >> '" + ProbeLog().toUtf8() + "'\n"
                                 "  sleep " + probeDelay + "\n"
                                 "  echo '  Duration: 00:00:10.00, start: 0.000000, bitrate: 9 kb/s' >&2\n"
                                 "  exit 1\n"
                                 "fi\n"
                                 "for a in \"$@\"; do out=\"$a\"; done\n" + body + "\n");
    }
};

TEST_F(ConvertProbeTest, TheWindowLivesDuringTheProbeAndAStopThenEndsTheRun)
{
    WriteProbingTool("1", "printf 'part' > \"$out\"\nexec sleep 30");
    form->ProgressFileName.clear();  // chosen once the probe is over
    int probePumps = 0, runPumps = 0;
    bool controlsHeld = true;
    services.onProcessEvents = [&](int) {
        if (form->ProgressFileName.isEmpty()) {
            ++probePumps;
            controlsHeld = controlsHeld && !form->ConvertBitBtn.Enabled() &&
                           !form->SourceFilenameEdit.Enabled() && form->StopConvBitBtn.Enabled();
            if (probePumps == 2)
                form->StopConvBitBtn.UserClick();
        } else {
            ++runPumps;
        }
    };
    QElapsedTimer clock;
    clock.start();
    form->ConvertBitBtn.UserClick();

    EXPECT_GE(probePumps, 2) << "the window's events were not handled during the probe";
    EXPECT_TRUE(controlsHeld);
    EXPECT_EQ(runPumps, 1) << "the kept Stop must end the run at the wait loop's first step";
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Stopped"));
    EXPECT_FALSE(QFileInfo::exists(Output()));
    // The probe's result is the same as ever.
    EXPECT_EQ(form->TotalContentDuration, 10000);
    EXPECT_TRUE(form->SourceProbeText.contains(QStringLiteral("Duration: 00:00:10.00, start")));
    EXPECT_EQ(Probes(), QStringList{source});
}

TEST_F(ConvertProbeTest, TheEarlyProbeServesOnlyTheSameUnchangedFile)
{
    const struct Row {
        const char* name;
        QByteArray probeDelay;
        std::function<void()> meanwhile;  // between the early probe and Convert
        int expectedProbes;
        bool pumpsWhileWaiting;  // Convert waits for the early probe with events handled
    } rows[] = {
        {"same file", "0", [] {}, 1, false},
        {"still running when Convert comes", "1", [] {}, 1, true},
        {"the file grew", "0", [&] { testsupport::WriteFile(source, "data and more"); }, 2, false},
        {"the file was rewritten with the same size",
         "0",
         [&] {
             QFile file(source);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.setFileTime(file.fileTime(QFileDevice::FileModificationTime).addSecs(-60),
                              QFileDevice::FileModificationTime);
         },
         2, false},
        {"another source chosen",
         "0", [&] { form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("other.avi"), "else")); }, 2,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(ProbeLog());
        testsupport::WriteFile(source, "data");
        form->SourceFilenameEdit.UserType(source);
        ChooseFormat(QStringLiteral("MP4"));
        WriteProbingTool(row.probeDelay, "printf 'media' > \"$out\"");

        form->StartEarlyProbe();
        // Let a quick probe end before Convert, as it does during the automatic delay.
        if (row.probeDelay == "0") {
            ASSERT_TRUE(testsupport::WaitUntil([&] { return Probes().size() == 1; }, 30000));
            QThread::msleep(300);
        }
        row.meanwhile();
        const QString convertedSource = form->SourceFilenameEdit.Text();

        form->ProgressFileName.clear();
        int pumpsBeforeRun = 0;
        services.onProcessEvents = [&](int) { pumpsBeforeRun += form->ProgressFileName.isEmpty(); };
        form->ConvertBitBtn.UserClick();
        services.onProcessEvents = nullptr;

        EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
        EXPECT_EQ(form->TotalContentDuration, 10000);
        const QStringList probes = Probes();
        EXPECT_EQ(probes.size(), row.expectedProbes) << probes.join(u'|').toStdString();
        EXPECT_EQ(probes.value(probes.size() - 1), convertedSource);
        if (row.pumpsWhileWaiting) {
            EXPECT_GT(pumpsBeforeRun, 0);
        }
        QFile::remove(Output());
    }
}

TEST_F(ConvertProbeTest, AutomaticModeProbesDuringTheDelay)
{
    WriteProbingTool("0", "printf 'media' > \"$out\"");
    form->Arguments = {QStringLiteral("-inName=") + source, QStringLiteral("-format=mp4"),
                       QStringLiteral("-acm=auto")};
    form->ApplyCommandLineOptions();
    ASSERT_TRUE(form->AutoTimer.Enabled());
    // Nobody has pressed Convert, yet the tool reports on the source.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Probes().size() == 1; }, 30000));

    form->AutoTimerTimer(&form->AutoTimer);
    EXPECT_EQ(form->InfoLabel.Caption(), QStringLiteral("Done"));
    EXPECT_EQ(form->TotalContentDuration, 10000);
    EXPECT_EQ(Probes(), QStringList{source});
}

}  // namespace
}  // namespace ondrava::test
