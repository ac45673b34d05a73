#pragma once
// The main window's logic over the model of its controls: the controls with their initial
// state, the window's fields, the enabling rules, the output naming, the file dialogs and the
// conversion run. The Qt view mirrors these controls and feeds the user's actions back into
// the handlers below; nothing here needs a display.
#include "conversion/DurationProbe.h"
#include "window/Controls.h"
#include "window/FormServices.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace ondrava {

class TZeltRegistry;
class TLanguage;
class TDevicePresets;
class TDevPreset;
class TMyCheckUpdate;
struct CommandLine;

class TMainForm {
public:
    explicit TMainForm(FormServices& services);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Announces every change of a control (and of the window's caption, as FormControl).
    ControlHost Host;
    FormServices& Services;

    // The window itself: its caption and client size (477 x 294).
    TControl FormControl;
    QString Caption() const { return FormControl.Caption(); }

    // ---- Controls ----
    TLabel SourceFileNameLabel;
    TEdit SourceFilenameEdit;  // the view shows a drop box that accepts files here
    TButton OpenBitBtn;
    TControl Image1;           // the banner behind ConvertToLabel
    TLabel ConvertToLabel;

    TPageControl VideoPageControl;
    TTabSheet FormatTabSheet;  // page 0
    TTabSheet DeviceTabSheet;  // page 1

    // Page 0 (positions inside the page)
    TLabel OutFormatLabel;
    TComboBox OutFormatComboBox;
    TLabel OutSizeLabel;
    TComboBox OutSizeComboBox;  // editable; tag = remembered item (-1 none)
    TLabel QualityLabel;
    TComboBox QualityComboBox;  // tag = remembered item (-1 none)
    TLabel LowQLabel;           // right-aligned
    TTrackBar QualityTrackBar;
    TLabel HiQLabel;
    TLabel AdditionLabel;       // right-aligned; opens AdditionPopupMenu

    // Page 1
    TPanel DeviceButtonsPanel;
    TPageScroller DevicePageScroller;

    TLabel OutFileLabel;
    TSpeedButton OpenOutSpeedButton;
    TEdit OutVideoFileBEdit;  // the view shows a drop box that refuses files here
    TSpeedButton OpenFileBitBtn;
    TSpeedButton OpenFolderBitBtn;
    TButton ConvertBitBtn;    // the window's default button
    TButton StopConvBitBtn;
    TLabel InfoLabel;         // the status line, bold
    TProgressBar ProgressBar;

    TOpenDialog SourceOpenDialog;
    TOpenDialog OutOpenDialog;

    // ---- Actions ----
    TAction OpenSourceAction;
    TAction ExitAction;
    TAction SoundAction;
    TAction ContentsAction;  // shortcut F1
    TAction HomePageAction;
    TAction CheckUpdateAction;
    TAction AboutAction;
    TAction EmailAction;     // no menu item; the About box uses it

    // ---- Main menu ----
    TMenuItem N1;            // File
    TMenuItem ViewMenuItem;  // View
    TMenuItem N2;            // Help
    TMenuItem* LanguageMenuItem = nullptr;  // inside ViewMenuItem; holds the language list
    std::vector<TMenuItem*> MainMenu;       // top-level menus in order

    // ---- Popup "Additional" ----
    TPopupMenu AdditionPopupMenu;
    TMenuItem NoSoundPopupMenu;       // AutoCheck
    TMenuItem SameAspectRationPMenu;  // AutoCheck

    TTimer AutoTimer;  // 1000 ms, disabled, tag 0

    // ---- Fields of the window ----
    std::unique_ptr<TZeltRegistry> MyReg;
    std::unique_ptr<TMyCheckUpdate> MyCheckUpdate;
    bool StopConvFlag = false;
    bool NeedStartFastUpdate = false;
    std::unique_ptr<TLanguage> Language;
    QString CurrentLanguage;
    bool SoundEnabled = true;
    std::unique_ptr<TDevicePresets> DevicePresets;
    int SelectedDeviceID = 0;
    bool isFirstEnableOutBox = true;
    bool CloseOnCompleteFlag = false;
    int ConvertForPV_DID = 0;
    bool isAutoMode = false;
    qint64 TotalContentDuration = 0;
    // Everything the duration probe printed about the current run's source; the duration is
    // read from it, and so can anything else the run needs to know about the source.
    QString SourceProbeText;
    int counterForUpdProgress = 0;
    QString ConvertForAppName;
    QString ProgressFileName;
    QString LNGA[21];  // message texts; slot k of the message table is LNGA[k - 1]
    QString ProgramDir;  // ends in "/"
    QString SoundDir;    // ProgramDir + "Sounds/"
    QString AppDataDir;  // ends in "/"
    QString HELP_FILENAME;
    QString HOMEPAGE_LINK;
    QString UPDATE_URL;
    // Set once start-up has read the stored settings; the close stores the window's state only
    // then, so that a start-up that stopped early does not overwrite them with defaults.
    bool StoredSettingsRestored = false;

    // ---- Operations ----
    void EnableOutBox(bool value);
    // Whether a conversion runs (from disabling the controls to enabling them again).
    bool Converting() const { return m_converting; }
    // The open-file and open-folder buttons for the output box's text (steps 4 and 5 of
    // EnableOutBox).
    void UpdateOpenButtons(bool value);
    // A top-level menu's title as shown: its caption, or its built-in title when the language
    // left it empty (a menu without a title would vanish from the menu bar).
    QString ShownMenuTitle(const TMenuItem& menu) const;
    void EnableSourceBox(bool value);
    void SetInfoText(const QString& text);
    void UpdateCaption();
    QString GetOutFormatExt() const;
    // The chosen device, or nullptr when none is chosen or the catalogue does not hold it.
    const TDevPreset* SelectedDevice() const;
    QString MakeOutFileName(const QString& sourceName) const;
    void ShellOpen(const QString& fileName, const QString& params);
    // Runs the tool and waits for it; 40 when stopped, 0 when it did not start, else its exit code.
    int RunConverter(const CommandLine& commandLine);
    // Probes the source into SourceProbeText and TotalContentDuration while pumping the
    // window's events; uses the automatic mode's early probe when it describes the same file.
    void ProbeSource(const QString& sourceFile);
    // Automatic mode: starts the probe of the source in the source box during the delay
    // before the automatic conversion.
    void StartEarlyProbe();

    // ---- Handlers ----
    void SourceFilenameEditChange(TControl* sender = nullptr);
    void OutVideoFileBEditChange(TControl* sender = nullptr);
    void QualityComboBoxChange(TControl* sender = nullptr);
    void QualityTrackBarChange(TControl* sender = nullptr);
    void OutFormatComboBoxChange(TControl* sender = nullptr);
    void VideoPageControlChange(TControl* sender = nullptr);
    void OpenBitBtnClick(TControl* sender = nullptr);
    void SourceFilenameEditDropFile(TControl* sender, const QString& fileName, const QPoint& dropPoint);
    void OutVideoFileBEditExit(TControl* sender = nullptr);
    void OpenOutSpeedButtonClick(TControl* sender = nullptr);
    void OpenFileBitBtnClick(TControl* sender = nullptr);
    void OpenFolderBitBtnClick(TControl* sender = nullptr);
    void ConvertBitBtnClick(TControl* sender = nullptr);
    void StopConvBitBtnClick(TControl* sender = nullptr);
    void FormCloseQuery(bool& canClose);
    void AdditionLabelClick(TControl* sender = nullptr);
    void AdditionLabelMouseEnter(TControl* sender = nullptr);
    void AdditionLabelMouseLeave(TControl* sender = nullptr);
    void AdditionPopupMenuPopup(TControl* sender = nullptr);
    void NoSoundPopupMenuClick(TControl* sender = nullptr);
    void OpenSourceActionExecute(TControl* sender = nullptr);
    void OpenSourceActionUpdate(TControl* sender = nullptr);
    void ExitActionExecute(TControl* sender = nullptr);
    void SoundActionExecute(TControl* sender = nullptr);
    void SoundActionUpdate(TControl* sender = nullptr);
    // The status line after a failed run: a link to the reason.
    void InfoLabelClick(TControl* sender = nullptr);
    void InfoLabelMouseEnter(TControl* sender = nullptr);
    void InfoLabelMouseLeave(TControl* sender = nullptr);

    // ---- Steps that start-up, the language, the device buttons, automatic mode and the
    // update check fill in ----
    void StartFastUpdateCheck();
    bool NotifyConvertForApp();
    void ShowUpdateNotice();
    void FormCreate();
    void FormClose();
    void CreateDeviceButtons();
    void DeviceButtonClick(TControl* sender);
    void ApplyLanguage();
    void LanguageMenuItemClick(TControl* sender);
    void ViewMenuItemClick(TControl* sender);
    void AutoTimerTimer(TControl* sender);
    void CheckUpdateActionExecute(TControl* sender = nullptr);
    void ContentsActionExecute(TControl* sender = nullptr);
    void HomePageActionExecute(TControl* sender = nullptr);
    void EmailActionExecute(TControl* sender = nullptr);
    void AboutActionExecute(TControl* sender = nullptr);

    // Start-up's language steps and the language menu.
    void LanguageStartup();
    void BuildLanguageMenu();
    void GetLanguageList(QStringList& list) const;
    QString GetDefaultLanguage();
    void UpdateLanguageChecks();

    // The command line: the program's parameters without the program name, as the system split them.
    QStringList Arguments;
    // When the program started: the automatic conversion starts one second after it. Unset
    // (a window made inside another program), the second counts from the arming of the timer.
    std::optional<std::chrono::steady_clock::time_point> ProgramStart;
    QString GetParamValue(const QString& key) const;
    void ApplyCommandLineOptions();
    // The device strip's scroll step.
    void DevicePageScrollerScroll(int& delta);

private:
    // Whether the last RunConverter got its tool started (its 0 means both "did not start"
    // and "ended well").
    bool m_lastRunStarted = false;
    // How the last RunConverter's tool ended: killed by a signal, and its last lines.
    bool m_lastRunCrashed = false;
    QStringList m_lastRunLines;
    // The probe started during the automatic mode's delay, and the file it describes.
    std::unique_ptr<SourceProbe> m_earlyProbe;
    SourceIdentity m_earlyProbeSource;
    // Why the last run failed, with the tool's last lines: what the status line's link shows.
    QString m_failureText;
    // Judges a failed run and turns the status line into a link to the reason; returns the
    // reason for the desktop notification.
    QString ExplainFailure(const QString& source, const QString& output);
    void ClearFailure();
    // Set while a run holds the controls disabled; no handler may enable them or start another
    // run in between (the run pumps the window's events).
    bool m_converting = false;
    // A text of the loaded language's MainForm section; empty without a language.
    QString MainFormText(const QString& id) const;
    // A text of the loaded language's GeneralMessages section, or fallback where it has none.
    QString MessageText(const QString& id, const QString& fallback) const;
    void BuildMenus();
    void WireHandlers();
};

}  // namespace ondrava
