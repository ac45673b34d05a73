// The command line of a calling download manager (or a user's script), automatic mode and the
// notice to the calling program when its conversion is done.
#include "window/MainF.h"

#include "app/RegZelt.h"
#include "common/Convert.h"
#include "common/Error.h"
#include "platform/CallerLink.h"
#include "platform/Shell.h"
#include "presets/DevicePresets.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>

namespace ondrava {

namespace {

constexpr int kAutoConvertTag = 1;
constexpr int kAutoCloseTag = 4;
// A size text longer than this ("1920x1080") is no size.
constexpr int kMaxSizeTextLength = 9;

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// 0 for an unknown moment.
int MillisecondsSince(const std::optional<std::chrono::steady_clock::time_point>& moment)
{
    if (!moment)
        return 0;
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *moment);
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(spent.count(), 0, 60'000));
}

}  // namespace

QString TMainForm::GetParamValue(const QString& key) const
{
    for (const QString& parameter : Arguments) {
        if (!parameter.startsWith(key, Qt::CaseSensitive))
            continue;
        const qsizetype equals = parameter.indexOf(QLatin1Char('='));
        return equals < 0 ? QString() : parameter.mid(equals + 1);
    }
    return {};
}

void TMainForm::ApplyCommandLineOptions()
{
    // In this order: the output name of -inName= follows the format or device chosen before.
    const QString format = GetParamValue(QStringLiteral("-format="));
    if (!format.isEmpty()) {
        VideoPageControl.SetActivePageIndex(0);
        OutFormatComboBox.SetItemIndex(int(OutFormatComboBox.Items().indexOf(AsciiUpper(format))));
    } else {
        const QString gadget = AsciiLower(GetParamValue(QStringLiteral("-gadget=")));
        if (!gadget.isEmpty()) {
            VideoPageControl.SetActivePageIndex(1);
            const int id = DevicePresets ? DevicePresets->GetDeviceIDByName(gadget) : -1;
            if (id > 0)
                SelectedDeviceID = id;
        }
    }

    const QString resolution = GetParamValue(QStringLiteral("-resolution="));
    if (!resolution.isEmpty()) {
        if (resolution.contains(QLatin1Char('x')) && resolution.size() <= kMaxSizeTextLength) {
            OutSizeComboBox.SetText(resolution);
            // The given size is the caller's choice: no item remembered from before may
            // replace it when the output controls come alive.
            OutSizeComboBox.SetTag(-1);
        } else {
            OutSizeComboBox.SetItemIndex(0);
        }
    }

    QString source = GetParamValue(QStringLiteral("-inName="));
    if (source.isEmpty() && !Arguments.isEmpty() && IsExistingFile(Arguments.first()))
        source = Arguments.first();
    if (IsExistingFile(source)) {
        // A name relative to the folder the program was started in means the file there; the
        // output is named beside it, never in the root folder.
        source = QFileInfo(source).absoluteFilePath();
        SourceFilenameEdit.SetText(source);
        OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
        SourceFilenameEditChange(&SourceFilenameEdit);
    }

    const int quality = StrToIntDef(GetParamValue(QStringLiteral("-quality=")), -1);
    if (quality >= 0) {
        QualityTrackBar.SetPosition(quality);
        QualityComboBox.SetItemIndex(1);
    } else {
        QualityComboBox.SetItemIndex(0);
    }

    if (GetParamValue(QStringLiteral("-sameaspect=")) == QLatin1String("0"))
        SameAspectRationPMenu.SetChecked(false);

    const QString autoMode = GetParamValue(QStringLiteral("-acm="));
    if (!autoMode.isEmpty()) {
        isAutoMode = true;
        const bool autoClose = autoMode == QLatin1String("autoClose");
        if (autoClose || autoMode == QLatin1String("auto") || autoMode == QLatin1String("autoSilent")) {
            AutoTimer.SetTag(kAutoConvertTag);
            // The second counts from the program's start, not from here: building the window
            // must not delay the download manager's conversion. A start-up that took longer
            // gets its tick as soon as the window runs.
            AutoTimer.StartAfter(AutoTimer.Interval() - MillisecondsSince(ProgramStart));
            if (autoClose)
                CloseOnCompleteFlag = true;
            // The conversion needs the source's duration when the timer fires; the tool
            // reports it meanwhile.
            StartEarlyProbe();
        }
    }

    ConvertForPV_DID = StrToIntDef(GetParamValue(QStringLiteral("-fDID=")), 0);
    ConvertForAppName = GetParamValue(QStringLiteral("-app=")) == QLatin1String("tsy")
                            ? QStringLiteral("Tessly")
                            : QStringLiteral("Parvel");
}

void TMainForm::AutoTimerTimer(TControl* sender)
{
    AutoTimer.SetEnabled(false);
    if (AutoTimer.Tag() == kAutoConvertTag) {
        // The timer's tick comes straight from the event loop: an error must end here, in the
        // error box, and leave the window usable.
        try {
            ConvertBitBtnClick(sender);
        } catch (const Error& e) {
            Services.ShowError(e.message());
        } catch (const std::exception& e) {
            Services.ShowError(QString::fromLocal8Bit(e.what()));
        }
    }
    if (AutoTimer.Tag() == kAutoCloseTag)
        Services.CloseWindow();
    else
        AutoTimer.SetTag(0);
}

bool TMainForm::NotifyConvertForApp()
{
    if (ConvertForPV_DID <= 0 || ConvertForAppName.isEmpty())
        return false;
    const QString output = OutVideoFileBEdit.Text();
    if (!IsExistingFile(output))
        return false;

    bool told = false;
    try {
        TZeltRegistry store(ConvertForAppName);
        const int handle = StrToIntDef(store.ReadStringPar(QStringLiteral("ApplicationHandle")), 0);
        const QString id = QString::number(ConvertForPV_DID);
        // The path must be there before the calling program looks; without it, telling it
        // would announce a result it cannot find.
        if (!store.WriteStringPar(QStringLiteral("conv_for_") + id, QFileInfo(output).absoluteFilePath()))
            return false;
        // A calling program that says it runs, and is there on the session bus, hears it there;
        // any other is started with the completion option.
        if (handle > 0 && CurrentCallerLink().IsRunning(ConvertForAppName)) {
            CurrentCallerLink().AnnounceConversionComplete(ConvertForPV_DID);
            told = true;
        } else {
            const QString exeFile = store.ReadStringPar(QStringLiteral("ExeFile"));
            if (IsExistingFile(exeFile)) {
                CurrentShell().StartDetached(exeFile, {QStringLiteral("-convcomplete=") + id});
                told = true;
            }
        }
    } catch (...) {
        return false;
    }
    if (told)
        ConvertForPV_DID = 0;
    return told;
}

}  // namespace ondrava
