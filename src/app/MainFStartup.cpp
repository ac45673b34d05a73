// The window's start-up and shutdown: folders, settings store, language, device catalogue,
// update checker and the stored settings, and their saving and release at close.
#include "window/MainF.h"

#include "app/RegZelt.h"
#include "common/Convert.h"
#include "common/Error.h"
#include "common/extFunc.h"
#include "conversion/EncodingProfile.h"
#include "i18n/Language.h"
#include "platform/InstanceLock.h"
#include "presets/DevicePresets.h"
#include "update/CheckUpdate.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <exception>
#include <memory>

namespace ondrava {

namespace {

const QString kTitle = QStringLiteral("Ondrava");
constexpr int kBuildNumber = 37;
const QString kVersion = QStringLiteral("0.7.1.37");
// A quiet update check is due this many days after the last update notice.
constexpr int kUpdateIntervalDays = 3;

// Held from start-up to close; other processes see that the program runs.
std::unique_ptr<InstanceLock> g_instanceLock;

// Whole days since 30 December 1899, the form dates take in the settings store.
int DayNumber(const QDate& date)
{
    return int(QDate(1899, 12, 30).daysTo(date));
}

}  // namespace

void TMainForm::FormCreate()
{
    try {
        g_instanceLock.reset();
        g_instanceLock = std::make_unique<InstanceLock>(kTitle);

        // Tests give their own program folder before start-up.
        if (ProgramDir.isEmpty())
            ProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        if (!ProgramDir.endsWith(QLatin1Char('/')))
            ProgramDir += QLatin1Char('/');
        SoundDir = ProgramDir + QStringLiteral("Sounds/");

        const QString dataFolder = GetSpecialFolderPath(26);
        AppDataDir = dataFolder.isEmpty() ? ProgramDir : dataFolder + QLatin1Char('/') + kTitle + QLatin1Char('/');
        if (!QDir(AppDataDir).exists())
            QDir().mkpath(AppDataDir);

        MyReg = std::make_unique<TZeltRegistry>(kTitle, false);

        if (StrToIntDef(MyReg->ReadStringPar(QStringLiteral("Build")), 0) != kBuildNumber)
            MyReg->WriteStringPar(QStringLiteral("Build"), QString::number(kBuildNumber));

        StopConvFlag = false;
        StopConvBitBtn.SetEnabled(false);
        isFirstEnableOutBox = true;
        CloseOnCompleteFlag = false;
        ConvertForPV_DID = 0;
        isAutoMode = false;
        counterForUpdProgress = 0;

        LanguageStartup();

        DevicePresets = std::make_unique<TDevicePresets>(ProgramDir + QStringLiteral("presets.xml"));
        CreateDeviceButtons();

        // The start counter rides on the first update query until the site has answered once.
        QString suffix;
        try {
            if (MyReg->ReadStringPar(QStringLiteral("atinmb")) != QLatin1String("1")) {
                const int n = StrToIntDef(MyReg->ReadStringPar(QStringLiteral("inmb")), 0) + 1;
                suffix = QStringLiteral("?i=") + QString::number(n);
                MyReg->WriteStringPar(QStringLiteral("inmb"), QString::number(n));
            }
        } catch (...) {
            // Counting starts is not worth a failed start.
        }
        MyCheckUpdate = std::make_unique<TMyCheckUpdate>(UPDATE_URL + suffix, kVersion, QString());

        OutFormatComboBox.SetItemIndex(StrToIntDef(MyReg->ReadStringPar(QStringLiteral("IOutFormat")), 0));

        const QString size = MyReg->ReadStringPar(QStringLiteral("IOutSize"));
        const QString sizeOption = SizeOption(size, -1, false);
        if (!sizeOption.isEmpty() && sizeOption != QLatin1String("-1")) {
            OutSizeComboBox.SetText(size);
            // The restored size is the user's choice: the list's remembered first item must
            // not replace it when the output controls are first enabled.
            OutSizeComboBox.SetTag(-1);
        } else
            OutSizeComboBox.SetItemIndex(0);

        QualityComboBox.SetItemIndex(StrToIntDef(MyReg->ReadStringPar(QStringLiteral("IOutQualityType")), 0));

        MyReg->WriteStringPar(QStringLiteral("IOutSize"), OutSizeComboBox.Text());

        QualityTrackBar.SetPosition(StrToIntDef(MyReg->ReadStringPar(QStringLiteral("IOutQuality")), 8));
        QualityTrackBarChange(&QualityTrackBar);

        SoundEnabled = StrToIntDef(MyReg->ReadStringPar(QStringLiteral("SoundEnabled")), 1) != 0;
        VideoPageControl.SetActivePageIndex(StrToIntDef(MyReg->ReadStringPar(QStringLiteral("VideoPageIndex")), 0));
        SelectedDeviceID = StrToIntDef(MyReg->ReadStringPar(QStringLiteral("SelectedDeviceID")), 0);
        SameAspectRationPMenu.SetChecked(true);
        StoredSettingsRestored = true;

        if (!Arguments.isEmpty())
            ApplyCommandLineOptions();
        QualityComboBoxChange(&QualityComboBox);

        NeedStartFastUpdate = true;
        const QString lastDate = MyReg->ReadStringPar(QStringLiteral("LastFUDate"));
        if (!lastDate.isEmpty() &&
            DayNumber(QDate::currentDate()) < StrToIntDef(lastDate, 0) + kUpdateIntervalDays)
            NeedStartFastUpdate = false;
    } catch (const Error& e) {
        Services.ShowError(e.message());
    } catch (const std::exception& e) {
        Services.ShowError(QString::fromLocal8Bit(e.what()));
    }
}

void TMainForm::FormClose()
{
    // The objects are released even when storing the settings fails; the error still reaches
    // the user.
    std::exception_ptr storeError;
    try {
        // After an automatic conversion that closes the window by itself, the command line's
        // options must not become the user's settings.
        if (MyReg && StoredSettingsRestored && AutoTimer.Tag() != 4) {
            MyReg->WriteStringPar(QStringLiteral("IOutFormat"), QString::number(OutFormatComboBox.ItemIndex()));
            MyReg->WriteStringPar(QStringLiteral("IOutSize"), OutSizeComboBox.Text());
            MyReg->WriteStringPar(QStringLiteral("IOutQuality"), QString::number(QualityTrackBar.Position()));
            MyReg->WriteStringPar(QStringLiteral("IOutQualityType"), QString::number(QualityComboBox.ItemIndex()));
            MyReg->WriteStringPar(QStringLiteral("SoundEnabled"), SoundEnabled ? QStringLiteral("1") : QStringLiteral("0"));
            MyReg->WriteStringPar(QStringLiteral("VideoPageIndex"), QString::number(VideoPageControl.ActivePageIndex()));
            MyReg->WriteStringPar(QStringLiteral("DevPageScr"), QString::number(DevicePageScroller.Position()));
            if (SelectedDeviceID > 0)
                MyReg->WriteStringPar(QStringLiteral("SelectedDeviceID"), QString::number(SelectedDeviceID));
        }
    } catch (...) {
        storeError = std::current_exception();
    }

    MyCheckUpdate.reset();
    MyReg.reset();
    Language.reset();
    DevicePresets.reset();
    StoredSettingsRestored = false;
    g_instanceLock.reset();
    if (storeError)
        std::rethrow_exception(storeError);
}

}  // namespace ondrava
