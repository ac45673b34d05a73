// The Convert command: builds the options, probes the source, runs the tool while pumping the
// window's events, and judges the result by the output file.
#include "window/MainF.h"

#include "common/Convert.h"
#include "common/extFunc.h"
#include "conversion/DurationProbe.h"
#include "conversion/EncodingProfile.h"
#include "conversion/Progress.h"
#include "conversion/SourceFilters.h"
#include "conversion/ToolCommands.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/Notifications.h"
#include "presets/DevicePresets.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace ondrava {

namespace {

// The run's own code for a run the user stopped.
constexpr int kStoppedResult = 40;
// The tool's last diagnostic lines kept during a run; they explain a failure.
constexpr int kDiagnosticLines = 8;
constexpr int kDiagnosticBytes = 4096;

bool PathExists(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && (info.exists() || info.isSymLink());
}

}  // namespace

void TMainForm::StopConvBitBtnClick(TControl*)
{
    StopConvFlag = true;
}

int TMainForm::RunConverter(const CommandLine& commandLine)
{
    m_lastRunStarted = false;
    ChildProcess child;
    child.KeepDiagnostics(kDiagnosticLines, kDiagnosticBytes);
    if (!child.Start(commandLine, QString()))
        return 0;
    m_lastRunStarted = true;

    bool stopped = false;
    while (!child.WaitForExit(200)) {
        if (++counterForUpdProgress % 5 == 0) {
            counterForUpdProgress = 0;
            ProgressBar.SetPosition(ReadProgressPercent(ProgressFileName, TotalContentDuration));
            if (ProgressBar.Position() > 0)
                SetInfoText(LNGA[3] + QLatin1Char(' ') + QString::number(ProgressBar.Position()) +
                            QLatin1Char('%'));
        }
        Services.ProcessEvents();
        if (StopConvFlag) {
            StopConvFlag = false;
            child.Terminate();
            stopped = true;
        }
    }
    // A child ended by a signal has no exit code of its own; it counts as failed.
    const int exitCode = child.Crashed() ? -1 : child.ExitCode();
    if (stopped) {
        ProgressBar.SetPosition(0);
        return kStoppedResult;
    }
    // The tool's own account of the run, for the judgement to keep if the run failed.
    InfoLabel.SetHint(child.LastDiagnosticLines().join(QStringLiteral("\r\n")));
    ProgressBar.SetPosition(100);
    return exitCode;
}

void TMainForm::ConvertBitBtnClick(TControl*)
{
    if (PathExists(OutVideoFileBEdit.Text())) {
        if (!isAutoMode) {
            Services.ShowMessage(FillPlaceholders(LNGA[2], ExtractFileName(OutVideoFileBEdit.Text())));
            return;
        }
        OutVideoFileBEdit.SetText(MakeUniqueFileName(OutVideoFileBEdit.Text()));
    }

    StartFastUpdateCheck();

    EncodingInput input;
    input.outputFileName = OutVideoFileBEdit.Text();
    input.qualityIndex = QualityComboBox.ItemIndex();
    input.trackBarPosition = QualityTrackBar.Position();
    input.trackBarEnabled = QualityTrackBar.Enabled();
    input.noSound = NoSoundPopupMenu.Checked();
    input.keepProportionsEnabled = SameAspectRationPMenu.Enabled();
    input.keepProportionsChecked = SameAspectRationPMenu.Checked();
    input.sizeText = OutSizeComboBox.Text();
    input.sizeItemIndex = OutSizeComboBox.ItemIndex();
    input.tabIndex = VideoPageControl.ActivePageIndex();
    if (const TDevPreset* device = SelectedDevice())
        input.deviceParams = device->Params;
    const OptionString options = BuildOptionString(input);
    if (!options.ok()) {
        Services.ShowMessage(options.refusalMessageId == kNoDeviceMessageId ? LNGA[13] : LNGA[1]);
        return;
    }

    // A Stop left over from before this run must not end it at once.
    StopConvFlag = false;
    StopConvBitBtn.SetEnabled(true);
    EnableSourceBox(false);
    EnableOutBox(false);
    SetInfoText(LNGA[3]);
    InfoLabel.SetHint(QString());

    const QString source = SourceFilenameEdit.Text();
    const QString output = OutVideoFileBEdit.Text();
    const QString probeText = RunAndCapture(ProbeCommandLine(ProgramDir, source), ProgramDir);
    TotalContentDuration = ParseDuration(probeText);
    // What the probe tells about the source completes the options; this is the line that runs.
    const QString runOptions = AddSourceFilters(options.options, input, probeText);

    ProgressFileName = AppDataDir + QStringLiteral("progress") +
                       QString::number(QRandomGenerator::global()->bounded(10000)) +
                       QStringLiteral(".txt");

    // Only a file this run creates may be deleted afterwards; one that is already there
    // belongs to the user, whatever the tool does with it.
    const bool outputWasThere = PathExists(output);
    const int result = RunConverter(
        ConversionCommandLine(ProgramDir, ProgressFileName, source, runOptions, output));
    const bool ownOutput = !outputWasThere;

    if (QFileInfo::exists(ProgressFileName))
        QFile::remove(ProgressFileName);

    EnableSourceBox(true);
    EnableOutBox(true);
    StopConvBitBtn.SetEnabled(false);

    const bool outputExists = QFileInfo(output).isFile();
    auto removeOwnOutput = [&] {
        if (ownOutput && outputExists)
            QFile::remove(output);
    };
    auto fail = [&](int slot) {
        SetInfoText(LNGA[slot]);
        ProgressBar.SetPosition(0);
        PlaySoundFile(SoundDir + QStringLiteral("error.wav"), SoundEnabled);
    };

    // Only a failure keeps the tool's diagnostics as the status line's hint.
    if (result == kStoppedResult) {
        fail(4);
        InfoLabel.SetHint(QString());
        removeOwnOutput();
    } else if (!m_lastRunStarted || result != 0) {
        // The tool did not start, failed or was killed: whatever it left is not a result.
        fail(6);
        removeOwnOutput();
    } else if (outputExists && FileSizeOf(output) == 0) {
        fail(5);
        removeOwnOutput();
    } else if (!outputExists) {
        fail(6);
    } else {
        SetInfoText(LNGA[7]);
        InfoLabel.SetHint(QString());
        PlaySoundFile(SoundDir + QStringLiteral("converted.wav"), SoundEnabled);
        NotifyConvertForApp();
        if (CloseOnCompleteFlag) {
            CloseOnCompleteFlag = false;
            AutoTimer.SetTag(4);
            AutoTimer.SetEnabled(true);
        }
    }

    // A user working in another window learns the outcome from the desktop.
    if (!Services.IsWindowActive())
        CurrentNotifier().Notify(QStringLiteral("Ondrava"), InfoLabel.Caption());

    ShowUpdateNotice();
}

}  // namespace ondrava
