#include "window/MainF.h"

#include "app/RegZelt.h"
#include "i18n/Language.h"
#include "presets/DevicePresets.h"
#include "update/CheckUpdate.h"
#include "window/OutputNaming.h"

namespace ondrava {

namespace {

// Makes a menu item that runs an action: it shows the action's caption and executes it.
std::unique_ptr<TMenuItem> ActionItem(ControlHost& host, const QString& name, TAction& action)
{
    auto item = std::make_unique<TMenuItem>(host, name);
    item->Action = &action;
    item->SetCaption(action.Caption());
    item->OnClick = [&action](TControl*) { action.Execute(); };
    return item;
}

std::unique_ptr<TMenuItem> Separator(ControlHost& host, const QString& name)
{
    auto item = std::make_unique<TMenuItem>(host, name);
    item->IsSeparator = true;
    item->SetCaption(QStringLiteral("-"));
    return item;
}

// The menus' built-in titles, shown when the language gives a menu no title.
const QString kFileMenuTitle = QStringLiteral("Файл");
const QString kViewMenuTitle = QStringLiteral("Вид");
const QString kHelpMenuTitle = QStringLiteral("Справка");

}  // namespace

TMainForm::TMainForm(FormServices& services)
    : Services(services),
      FormControl(Host, QStringLiteral("MainForm"), QRect(0, 0, 477, 294)),
      SourceFileNameLabel(Host, QStringLiteral("SourceFileNameLabel"), QRect(8, 13, 170, 13)),
      SourceFilenameEdit(Host, QStringLiteral("SourceFilenameEdit"), QRect(8, 29, 363, 22)),
      OpenBitBtn(Host, QStringLiteral("OpenBitBtn"), QRect(377, 27, 90, 25)),
      Image1(Host, QStringLiteral("Image1"), QRect(8, 57, 458, 34)),
      ConvertToLabel(Host, QStringLiteral("ConvertToLabel"), QRect(48, 65, 380, 20)),
      VideoPageControl(Host, QStringLiteral("VideoPageControl"), QRect(8, 91, 460, 128)),
      FormatTabSheet(Host, QStringLiteral("FormatTabSheet"), QRect(4, 24, 452, 100)),
      DeviceTabSheet(Host, QStringLiteral("DeviceTabSheet"), QRect(4, 24, 452, 100)),
      OutFormatLabel(Host, QStringLiteral("OutFormatLabel"), QRect(4, 15, 60, 13)),
      OutFormatComboBox(Host, QStringLiteral("OutFormatComboBox"), QRect(70, 10, 145, 21),
                        {QStringLiteral("MP4"), QStringLiteral("WEBM"), QStringLiteral("FLV"),
                         QStringLiteral("MKV"), QStringLiteral("MPG"), QStringLiteral("AVI"),
                         QStringLiteral("MOV"), QStringLiteral("WMV"), QStringLiteral("3GP"),
                         QStringLiteral("MP3"), QStringLiteral("AAC"), QStringLiteral("FLAC")},
                        false),
      OutSizeLabel(Host, QStringLiteral("OutSizeLabel"), QRect(292, 15, 48, 13)),
      OutSizeComboBox(Host, QStringLiteral("OutSizeComboBox"), QRect(344, 10, 97, 21),
                      {QStringLiteral("Исходный"), QStringLiteral("176x144"),
                       QStringLiteral("320x240"), QStringLiteral("480x320"),
                       QStringLiteral("640x480"), QStringLiteral("720x576"),
                       QStringLiteral("852x480"), QStringLiteral("1280x720"),
                       QStringLiteral("1920x1080")},
                      true),
      QualityLabel(Host, QStringLiteral("QualityLabel"), QRect(4, 52, 60, 13)),
      QualityComboBox(Host, QStringLiteral("QualityComboBox"), QRect(69, 47, 84, 21),
                      {QStringLiteral("Исходное"), QStringLiteral("Другое")}, false),
      LowQLabel(Host, QStringLiteral("LowQLabel"), QRect(174, 52, 42, 13)),
      QualityTrackBar(Host, QStringLiteral("QualityTrackBar"), QRect(219, 48, 166, 27), 0, 10),
      HiQLabel(Host, QStringLiteral("HiQLabel"), QRect(388, 52, 52, 13)),
      AdditionLabel(Host, QStringLiteral("AdditionLabel"), QRect(351, 84, 90, 13)),
      DeviceButtonsPanel(Host, QStringLiteral("DeviceButtonsPanel"), QRect(0, 0, 475, 71)),
      DevicePageScroller(Host, QStringLiteral("DevicePageScroller"), QRect(5, 14, 441, 71),
                         DeviceButtonsPanel),
      OutFileLabel(Host, QStringLiteral("OutFileLabel"), QRect(18, 234, 60, 13)),
      OpenOutSpeedButton(Host, QStringLiteral("OpenOutSpeedButton"), QRect(83, 227, 25, 25)),
      OutVideoFileBEdit(Host, QStringLiteral("OutVideoFileBEdit"), QRect(114, 229, 280, 22)),
      OpenFileBitBtn(Host, QStringLiteral("OpenFileBitBtn"), QRect(397, 224, 32, 32)),
      OpenFolderBitBtn(Host, QStringLiteral("OpenFolderBitBtn"), QRect(435, 224, 32, 32)),
      ConvertBitBtn(Host, QStringLiteral("ConvertBitBtn"), QRect(8, 261, 113, 25)),
      StopConvBitBtn(Host, QStringLiteral("StopConvBitBtn"), QRect(127, 262, 75, 25)),
      InfoLabel(Host, QStringLiteral("InfoLabel"), QRect(210, 257, 257, 13)),
      ProgressBar(Host, QStringLiteral("ProgressBar"), QRect(210, 272, 257, 14)),
      OpenSourceAction(Host, QStringLiteral("OpenSourceAction")),
      ExitAction(Host, QStringLiteral("ExitAction")),
      SoundAction(Host, QStringLiteral("SoundAction")),
      ContentsAction(Host, QStringLiteral("ContentsAction")),
      HomePageAction(Host, QStringLiteral("HomePageAction")),
      CheckUpdateAction(Host, QStringLiteral("CheckUpdateAction")),
      AboutAction(Host, QStringLiteral("AboutAction")),
      EmailAction(Host, QStringLiteral("EmailAction")),
      N1(Host, QStringLiteral("N1")),
      ViewMenuItem(Host, QStringLiteral("ViewMenuItem")),
      N2(Host, QStringLiteral("N2")),
      AdditionPopupMenu(Host, QStringLiteral("AdditionPopupMenu")),
      NoSoundPopupMenu(Host, QStringLiteral("NoSoundPopupMenu")),
      SameAspectRationPMenu(Host, QStringLiteral("SameAspectRationPMenu")),
      AutoTimer(Host, QStringLiteral("AutoTimer"), 1000)
{
    FormControl.SetCaption(QStringLiteral("Ondrava"));

    SourceFileNameLabel.SetCaption(QStringLiteral("Файл для конвертирования:"));
    OpenBitBtn.SetCaption(QStringLiteral("Открыть"));
    VideoPageControl.Pages = {&FormatTabSheet, &DeviceTabSheet};
    FormatTabSheet.SetCaption(QStringLiteral("Формат"));
    DeviceTabSheet.SetCaption(QStringLiteral("Устройство"));
    OutFormatLabel.SetCaption(QStringLiteral("Формат:"));
    OutSizeLabel.SetCaption(QStringLiteral("Размер:"));
    OutSizeComboBox.SetItemIndex(0);
    OutSizeComboBox.SetTag(0);
    QualityLabel.SetCaption(QStringLiteral("Качество:"));
    QualityComboBox.SetItemIndex(0);
    QualityComboBox.SetTag(-1);
    LowQLabel.SetCaption(QStringLiteral("низкое"));
    QualityTrackBar.SetPosition(8);
    HiQLabel.SetCaption(QStringLiteral("высокое"));
    AdditionLabel.SetCaption(QStringLiteral("Дополнительно"));
    OutFileLabel.SetCaption(QStringLiteral("Файл:"));
    OpenFileBitBtn.SetFlat(true);
    OpenFolderBitBtn.SetFlat(true);
    ConvertBitBtn.SetCaption(QStringLiteral("Конвертировать"));
    StopConvBitBtn.SetCaption(QStringLiteral("Отменить"));
    StopConvBitBtn.SetEnabled(false);

    SourceOpenDialog.Filter = kSourceDialogFilter;
    SourceOpenDialog.FilterIndex = 1;
    OutOpenDialog.Filter = kOutDialogFilter;
    OutOpenDialog.FilterIndex = 1;

    OpenSourceAction.SetCaption(QStringLiteral("Открыть"));
    ExitAction.SetCaption(QStringLiteral("Выход"));
    ContentsAction.SetCaption(QStringLiteral("Содержание"));
    ContentsAction.ShortCut = QStringLiteral("F1");

    NoSoundPopupMenu.SetCaption(QStringLiteral("Без звука"));
    NoSoundPopupMenu.AutoCheck = true;
    SameAspectRationPMenu.SetCaption(QStringLiteral("Сохранять пропорции"));
    SameAspectRationPMenu.AutoCheck = true;
    AdditionPopupMenu.Items = {&NoSoundPopupMenu, &SameAspectRationPMenu};

    AutoTimer.SetTag(0);

    BuildMenus();
    WireHandlers();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus()
{
    N1.SetCaption(kFileMenuTitle);
    N1.Add(ActionItem(Host, QStringLiteral("OpenSourceItem"), OpenSourceAction));
    N1.Add(Separator(Host, QStringLiteral("N1Separator")));
    N1.Add(ActionItem(Host, QStringLiteral("ExitItem"), ExitAction));

    ViewMenuItem.SetCaption(kViewMenuTitle);
    auto language = std::make_unique<TMenuItem>(Host, QStringLiteral("LanguageMenuItem"));
    language->SetCaption(QStringLiteral("Language"));
    LanguageMenuItem = ViewMenuItem.Add(std::move(language));
    ViewMenuItem.Add(ActionItem(Host, QStringLiteral("SoundItem"), SoundAction));

    N2.SetCaption(kHelpMenuTitle);
    N2.Add(ActionItem(Host, QStringLiteral("ContentsItem"), ContentsAction));
    N2.Add(ActionItem(Host, QStringLiteral("HomePageItem"), HomePageAction));
    N2.Add(Separator(Host, QStringLiteral("N2Separator1")));
    N2.Add(ActionItem(Host, QStringLiteral("CheckUpdateItem"), CheckUpdateAction));
    N2.Add(Separator(Host, QStringLiteral("N2Separator2")));
    N2.Add(ActionItem(Host, QStringLiteral("AboutItem"), AboutAction));

    MainMenu = {&N1, &ViewMenuItem, &N2};
}

void TMainForm::WireHandlers()
{
    SourceFilenameEdit.OnChange = [this](TControl* s) { SourceFilenameEditChange(s); };
    OutVideoFileBEdit.OnChange = [this](TControl* s) { OutVideoFileBEditChange(s); };
    OutVideoFileBEdit.OnExit = [this](TControl* s) { OutVideoFileBEditExit(s); };
    QualityComboBox.OnChange = [this](TControl* s) { QualityComboBoxChange(s); };
    QualityTrackBar.OnChange = [this](TControl* s) { QualityTrackBarChange(s); };
    OutFormatComboBox.OnChange = [this](TControl* s) { OutFormatComboBoxChange(s); };
    VideoPageControl.OnChange = [this](TControl* s) { VideoPageControlChange(s); };
    OpenBitBtn.OnClick = [this](TControl* s) { OpenBitBtnClick(s); };
    OpenOutSpeedButton.OnClick = [this](TControl* s) { OpenOutSpeedButtonClick(s); };
    OpenFileBitBtn.OnClick = [this](TControl* s) { OpenFileBitBtnClick(s); };
    OpenFolderBitBtn.OnClick = [this](TControl* s) { OpenFolderBitBtnClick(s); };
    ConvertBitBtn.OnClick = [this](TControl* s) { ConvertBitBtnClick(s); };
    StopConvBitBtn.OnClick = [this](TControl* s) { StopConvBitBtnClick(s); };
    AdditionPopupMenu.OnPopup = [this](TControl* s) { AdditionPopupMenuPopup(s); };
    NoSoundPopupMenu.OnClick = [this](TControl* s) { NoSoundPopupMenuClick(s); };

    OpenSourceAction.OnExecute = [this](TControl* s) { OpenSourceActionExecute(s); };
    OpenSourceAction.OnUpdate = [this](TControl* s) { OpenSourceActionUpdate(s); };
    ExitAction.OnExecute = [this](TControl* s) { ExitActionExecute(s); };
    SoundAction.OnExecute = [this](TControl* s) { SoundActionExecute(s); };
    SoundAction.OnUpdate = [this](TControl* s) { SoundActionUpdate(s); };
    ContentsAction.OnExecute = [this](TControl* s) { ContentsActionExecute(s); };
    HomePageAction.OnExecute = [this](TControl* s) { HomePageActionExecute(s); };
    CheckUpdateAction.OnExecute = [this](TControl* s) { CheckUpdateActionExecute(s); };
    AboutAction.OnExecute = [this](TControl* s) { AboutActionExecute(s); };
    EmailAction.OnExecute = [this](TControl* s) { EmailActionExecute(s); };
    ViewMenuItem.OnClick = [this](TControl* s) { ViewMenuItemClick(s); };
    AutoTimer.OnTimer = [this](TControl* s) { AutoTimerTimer(s); };
}

QString TMainForm::MainFormText(const QString& id) const
{
    return Language ? Language->Get(TLanguageSections::lsMainForm, id) : QString();
}

QString TMainForm::ShownMenuTitle(const TMenuItem& menu) const
{
    if (!menu.Caption().isEmpty())
        return menu.Caption();
    if (&menu == &N1)
        return kFileMenuTitle;
    if (&menu == &ViewMenuItem)
        return kViewMenuTitle;
    if (&menu == &N2)
        return kHelpMenuTitle;
    return menu.Caption();
}

const TDevPreset* TMainForm::SelectedDevice() const
{
    if (!DevicePresets || SelectedDeviceID <= 0)
        return nullptr;
    return DevicePresets->GetDeviceByID(SelectedDeviceID);
}

void TMainForm::EnableSourceBox(bool value)
{
    if (m_converting)
        value = false;
    SourceFilenameEdit.SetEnabled(value);
    OpenBitBtn.SetEnabled(value);
}

void TMainForm::SetInfoText(const QString& text)
{
    InfoLabel.SetCaption(text);
}

void TMainForm::FormCloseQuery(bool& canClose)
{
    // A running conversion holds the window open.
    canClose = !StopConvBitBtn.Enabled();
}

void TMainForm::AdditionLabelClick(TControl*)
{
    Services.PopupAtCursor(AdditionPopupMenu);
}

void TMainForm::AdditionLabelMouseEnter(TControl*)
{
    AdditionLabel.SetUnderlined(true);
}

void TMainForm::AdditionLabelMouseLeave(TControl*)
{
    AdditionLabel.SetUnderlined(false);
}

void TMainForm::AdditionPopupMenuPopup(TControl*)
{
    const QString format = OutFormatComboBox.Text().toUpper();
    const bool audio = format == QLatin1String("MP3") || format == QLatin1String("AAC") ||
                       format == QLatin1String("FLAC");
    if (OutFormatComboBox.Enabled() && audio) {
        NoSoundPopupMenu.SetChecked(false);
        NoSoundPopupMenu.SetEnabled(false);
        SameAspectRationPMenu.SetEnabled(false);
        return;
    }
    NoSoundPopupMenu.SetEnabled(true);
    // For 3GP the size is fixed, so EnableOutBox's decision on the item stands.
    if (format != QLatin1String("3GP"))
        SameAspectRationPMenu.SetEnabled(true);
}

void TMainForm::NoSoundPopupMenuClick(TControl*)
{
    // The item ticks itself; the option string reads the tick when a run starts.
}

void TMainForm::OpenSourceActionExecute(TControl*)
{
    OpenBitBtn.Click();
}

void TMainForm::OpenSourceActionUpdate(TControl*)
{
    OpenSourceAction.SetEnabled(OpenBitBtn.Enabled());
}

void TMainForm::ExitActionExecute(TControl*)
{
    Services.CloseWindow();
}

void TMainForm::SoundActionExecute(TControl*)
{
    SoundEnabled = !SoundEnabled;
}

void TMainForm::SoundActionUpdate(TControl*)
{
    SoundAction.SetChecked(SoundEnabled);
}

}  // namespace ondrava
