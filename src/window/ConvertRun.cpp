// The Convert command: builds the options, probes the source, runs the tool while pumping the
// window's events, and judges the result by the output file.
#include "window/MainF.h"

#include "common/Convert.h"
#include "common/extFunc.h"
#include "conversion/DurationProbe.h"
#include "conversion/EncodingProfile.h"
#include "conversion/FailureReason.h"
#include "conversion/Progress.h"
#include "conversion/SourceFilters.h"
#include "conversion/ToolCommands.h"
#include "i18n/Language.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/Notifications.h"
#include "platform/RunOnDesktop.h"
#include "platform/TaskbarProgress.h"
#include "presets/DevicePresets.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <memory>

namespace ondrava {

namespace {

// The run's own code for a run the user stopped.
constexpr int kStoppedResult = 40;
// The tool's last diagnostic lines kept during a run; they explain a failure.
constexpr int kDiagnosticLines = 8;
constexpr int kDiagnosticBytes = 4096;
// The probe is waited for in steps this short, the window's events handled between them, so
// the window never stands still for long.
constexpr int kProbeStepMs = 10;
// The automatic-mode timer's tag while the window is about to close.
constexpr int kClosePendingTag = 4;

bool PathExists(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && (info.exists() || info.isSymLink());
}

}  // namespace

QString TMainForm::MessageText(const QString& id, const QString& fallback) const
{
    const QString text = Language ? Language->Get(TLanguageSections::lsGeneralMessages, id) : QString();
    return text.isEmpty() ? fallback : text;
}

void TMainForm::StopConvBitBtnClick(TControl*)
{
    StopConvFlag = true;
}

void TMainForm::StartEarlyProbe()
{
    const QString source = SourceFilenameEdit.Text();
    m_earlyProbe.reset();
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return;
    m_earlyProbeSource = SourceIdentity::Of(source);
    m_earlyProbe = std::make_unique<SourceProbe>();
    // A tool that does not start leaves nothing to wait for; Convert tries again as usual.
    if (!m_earlyProbe->Start(ProbeCommandLine(ProgramDir, source), ProgramDir))
        m_earlyProbe.reset();
}

void TMainForm::ProbeSource(const QString& sourceFile)
{
    // The early probe counts only for the very file it was started on, unchanged since.
    std::unique_ptr<SourceProbe> probe = std::move(m_earlyProbe);
    if (probe && !(m_earlyProbeSource == SourceIdentity::Of(sourceFile)))
        probe.reset();
    if (!probe) {
        probe = std::make_unique<SourceProbe>();
        probe->Start(ProbeCommandLine(ProgramDir, sourceFile), ProgramDir);
    }
    // A Stop pressed meanwhile stays set: the run loop's first step ends the conversion.
    while (!probe->Wait(kProbeStepMs))
        Services.ProcessEvents();
    SourceProbeText = probe->Text();
    TotalContentDuration = ParseDuration(SourceProbeText);
}

int TMainForm::RunConverter(const CommandLine& commandLine)
{
    m_lastRunStarted = false;
    m_lastRunCrashed = false;
    m_lastRunLines.clear();
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
            RunOnDesktop::ShowProgress(ProgressBar.Position());
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
    // The tool's own account of the run, for the judgement to explain a failure with.
    m_lastRunCrashed = child.Crashed();
    m_lastRunLines = child.LastDiagnosticLines();
    ProgressBar.SetPosition(100);
    return exitCode;
}

void TMainForm::ConvertBitBtnClick(TControl*)
{
    // The run pumps the window's events: whatever route leads here meanwhile, one run at a time.
    if (m_converting)
        return;
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
    m_converting = true;
    SetInfoText(LNGA[3]);
    ClearFailure();

    const QString source = SourceFilenameEdit.Text();
    const QString output = OutVideoFileBEdit.Text();
    // Until the tool has ended the computer stays awake and the taskbar shows the progress.
    auto onDesktop = std::make_unique<RunOnDesktop>(ExtractFileName(source));
    ProbeSource(source);
    // What the probe tells about the source completes the options; this is the line that runs.
    const QString runOptions = AddSourceFilters(options.options, input, SourceProbeText);

    ProgressFileName = AppDataDir + QStringLiteral("progress") +
                       QString::number(QRandomGenerator::global()->bounded(10000)) +
                       QStringLiteral(".txt");

    // Only a file this run creates may be deleted afterwards; one that is already there
    // belongs to the user, whatever the tool does with it.
    const bool outputWasThere = PathExists(output);
    const int result = RunConverter(
        ConversionCommandLine(ProgramDir, ProgressFileName, source, runOptions, output));
    const bool ownOutput = !outputWasThere;
    onDesktop.reset();

    if (QFileInfo::exists(ProgressFileName))
        QFile::remove(ProgressFileName);

    m_converting = false;
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

    bool succeeded = false;
    // Only a failure explains itself; a stop is the user's own doing.
    QString reason;
    if (result == kStoppedResult) {
        fail(4);
        removeOwnOutput();
    } else if (!m_lastRunStarted || result != 0 || ToolReportsWriteFailure(m_lastRunLines)) {
        // The tool did not start, failed, was killed, or could not write all of the output:
        // whatever it left is not a result.
        fail(6);
        removeOwnOutput();
        reason = ExplainFailure(source, output);
    } else if (outputExists && FileSizeOf(output) == 0) {
        fail(5);
        removeOwnOutput();
        reason = ExplainFailure(source, output);
    } else if (!outputExists) {
        fail(6);
        reason = ExplainFailure(source, output);
    } else {
        succeeded = true;
        SetInfoText(LNGA[7]);
        PlaySoundFile(SoundDir + QStringLiteral("converted.wav"), SoundEnabled);
        NotifyConvertForApp();
        if (CloseOnCompleteFlag) {
            CloseOnCompleteFlag = false;
            AutoTimer.SetTag(kClosePendingTag);
            AutoTimer.SetEnabled(true);
        }
    }

    // The judgement may have deleted the output: the open buttons follow what is there now.
    UpdateOpenButtons(true);

    // A user working in another window learns the outcome from the desktop.
    if (!Services.IsWindowActive()) {
        // A window about to close has nothing to call the user back to; a dock could keep the
        // call for attention of a program that is gone.
        const bool closing = AutoTimer.Tag() == kClosePendingTag;
        if (!closing)
            CurrentTaskbarProgress().SetUrgent(true);
        // The file's buttons need the program to answer them: none when the window closes now.
        if (succeeded && !closing) {
            const FileActions buttons{QFileInfo(output).absoluteFilePath(),
                                      MessageText(QStringLiteral("13060"), QStringLiteral("Open")),
                                      MessageText(QStringLiteral("13061"), QStringLiteral("Show in folder"))};
            CurrentNotifier().NotifyWithFileActions(QStringLiteral("Ondrava"), InfoLabel.Caption(), buttons);
        } else {
            const QString body = reason.isEmpty() || reason == InfoLabel.Caption()
                                     ? InfoLabel.Caption()
                                     : InfoLabel.Caption() + QLatin1Char('\n') + reason;
            CurrentNotifier().Notify(QStringLiteral("Ondrava"), body);
        }
    }

    ShowUpdateNotice();
}

}  // namespace ondrava
