// The window's language: which language the program starts in, the Language submenu, and
// putting a language's texts into the controls and the window's message table.
#include "window/MainF.h"

#include "app/RegZelt.h"
#include "app/SiteAddresses.h"
#include "common/Convert.h"
#include "common/Error.h"
#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"
#include "platform/Locale.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <unordered_map>

namespace ondrava {

namespace {

const QString kLanguageFileExt = QStringLiteral(".lng");

// These languages are served by the Russian texts, help and site pages.
bool IsRussianGroup(const QString& name)
{
    return name == QLatin1String("Ukrainian") || name == QLatin1String("Russian") ||
           name == QLatin1String("Belarusian");
}

struct CountryLanguage {
    int code;
    const char* language;
};

constexpr CountryLanguage kCountryLanguages[] = {
    {7, "Russian"},    {30, "Greek"},      {31, "Dutch"},       {33, "French"},
    {34, "Spanish"},   {36, "Hungarian"},  {39, "Italian"},     {46, "Swedish"},
    {48, "Polish"},    {49, "German"},     {81, "Japanese"},    {86, "Chinese(Simplified)"},
    {90, "Turkish"},   {351, "Portuguese"}, {375, "Belarusian"}, {380, "Ukrainian"},
    {381, "Serbian"},  {385, "Croatian"},  {386, "Slovenian"},  {420, "Czech"},
    {421, "Slovak"},
};

TLanguageSections SectionOf(const char* name)
{
    const QLatin1String section(name);
    if (section == QLatin1String("MainMenu"))
        return TLanguageSections::lsMainMenu;
    if (section == QLatin1String("MainForm"))
        return TLanguageSections::lsMainForm;
    return TLanguageSections::lsGeneralMessages;
}

// The controls that take a caption or hint from the language, by name.
std::unordered_map<QString, TControl*> TextControls(TMainForm& f)
{
    std::unordered_map<QString, TControl*> map;
    TControl* controls[] = {
        &f.N1, &f.ViewMenuItem, f.LanguageMenuItem, &f.SoundAction, &f.N2, &f.OpenSourceAction,
        &f.ExitAction, &f.AboutAction, &f.ContentsAction, &f.CheckUpdateAction, &f.HomePageAction,
        &f.SourceFileNameLabel, &f.SourceFilenameEdit, &f.OpenBitBtn, &f.ConvertToLabel,
        &f.OutFormatLabel, &f.OutFormatComboBox, &f.OutSizeLabel, &f.OutSizeComboBox,
        &f.QualityComboBox, &f.AdditionLabel, &f.NoSoundPopupMenu, &f.SameAspectRationPMenu,
        &f.QualityLabel, &f.LowQLabel, &f.HiQLabel, &f.OutFileLabel, &f.OutVideoFileBEdit,
        &f.OpenOutSpeedButton, &f.OpenFileBitBtn, &f.OpenFolderBitBtn, &f.ConvertBitBtn,
        &f.StopConvBitBtn, &f.FormatTabSheet, &f.DeviceTabSheet,
    };
    for (TControl* c : controls) {
        // The Language entry is gone when its submenu could not be built.
        if (c)
            map.emplace(c->Name, c);
    }
    return map;
}

void ApplyText(TMainForm& f, const std::unordered_map<QString, TControl*>& controls,
               const LanguageTextRow& row, const QString& text)
{
    const QLatin1String property(row.property);
    const QLatin1String name(row.control);
    if (name == QLatin1String("SourceOpenDialog")) {
        f.SourceOpenDialog.Title = text;
        return;
    }
    const auto it = controls.find(QString(name));
    if (it == controls.end())
        return;
    TControl* control = it->second;
    if (property == QLatin1String("Caption")) {
        control->SetCaption(text);
    } else if (property == QLatin1String("Hint")) {
        control->SetHint(text);
    } else if (property == QLatin1String("Text")) {
        // A chosen source file stays; otherwise the box shows its prompt.
        if (auto* edit = dynamic_cast<TEdit*>(control)) {
            const QFileInfo current(edit->Text());
            if (edit->Text().isEmpty() || !current.exists() || current.isDir())
                edit->SetText(text);
        }
    } else if (auto* box = dynamic_cast<TComboBox*>(control)) {
        box->SetItem(property == QLatin1String("SecondItem") ? 1 : 0, text);
        if (box->ItemIndex() < 0)
            box->SetItemIndex(0);
    }
}

}  // namespace

void TMainForm::LanguageStartup()
{
    Language = std::make_unique<TLanguage>();
    CurrentLanguage = MyReg ? MyReg->ReadStringPar(QStringLiteral("Language")) : QString();
    if (CurrentLanguage.isEmpty())
        CurrentLanguage = GetDefaultLanguage();
    // The program starts in one of the two languages it ships complete.
    CurrentLanguage = IsRussianGroup(CurrentLanguage) ? QStringLiteral("Russian") : QStringLiteral("English");
    try {
        // A missing file leaves the texts empty; that is not worth a message.
        Language->LoadLanguage(ProgramDir + QStringLiteral("Languages/") + CurrentLanguage + kLanguageFileExt);
    } catch (const Error& e) {
        // A file that cannot be read is reported, and the program goes on as without one.
        Services.ShowError(e.message());
    }
    BuildLanguageMenu();
    ApplyLanguage();
}

void TMainForm::BuildLanguageMenu()
{
    if (!LanguageMenuItem)
        return;
    try {
        LanguageMenuItem->SetCaption(QStringLiteral("Language"));
        QStringList names;
        GetLanguageList(names);
        if (names.size() >= 2) {
            for (const QString& name : names) {
                auto item = std::make_unique<TMenuItem>(Host, QStringLiteral("LanguageMenuItem_") + name);
                item->SetCaption(name);
                item->OnClick = [this](TControl* s) { LanguageMenuItemClick(s); };
                LanguageMenuItem->Add(std::move(item));
            }
        }
    } catch (...) {
        // Without its list the Language entry is of no use; the rest of start-up goes on.
        auto& items = ViewMenuItem.Items;
        const TMenuItem* gone = LanguageMenuItem;
        LanguageMenuItem = nullptr;
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [gone](const std::unique_ptr<TMenuItem>& i) { return i.get() == gone; }),
                    items.end());
    }
}

void TMainForm::GetLanguageList(QStringList& list) const
{
    list.clear();
    // Hidden files, folders and special files are not languages.
    const QDir dir(ProgramDir + QStringLiteral("Languages"));
    const QStringList files = dir.entryList(QDir::Files, QDir::NoSort);
    for (const QString& file : files) {
        const QString lower = AsciiLower(file);
        if (!lower.endsWith(kLanguageFileExt))
            continue;
        list.append(file.left(lower.indexOf(kLanguageFileExt)));
    }
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(),
              [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
}

QString TMainForm::GetDefaultLanguage()
{
    QString result = QStringLiteral("English");
    try {
        QStringList names;
        GetLanguageList(names);
        if (names.isEmpty())
            return result;

        const QString installed = MyReg ? MyReg->ReadStringPar(QStringLiteral("InstallLanguage")) : QString();
        if (!installed.isEmpty() && installed != QLatin1String("English"))
            return installed;

        const LocaleInfo locale = UserLocale();
        const QString language = AsciiLower(locale.languageName.trimmed());
        if (!language.isEmpty()) {
            for (const QString& name : names) {
                if (AsciiLower(name).startsWith(language))
                    return name;
            }
        }

        const QString country = locale.countryCode.trimmed();
        if (!country.isEmpty()) {
            bool ok = false;
            const int code = country.toInt(&ok, 10);
            if (!ok)
                return result;
            for (const CountryLanguage& c : kCountryLanguages) {
                if (c.code == code)
                    return QString::fromLatin1(c.language);
            }
        }
    } catch (...) {
        // A first run without a usable hint simply starts in English.
    }
    return result;
}

void TMainForm::ApplyLanguage()
{
    const bool russian = IsRussianGroup(CurrentLanguage);
    HELP_FILENAME = russian ? QStringLiteral("ondrava_ru.chm") : QStringLiteral("ondrava.chm");
    HOMEPAGE_LINK = HomePageUrl(russian);
    UPDATE_URL = UpdateQueryUrl(russian);
    if (!Language)
        return;

    const auto controls = TextControls(*this);
    for (const LanguageTextRow& row : kLanguageTextTable)
        ApplyText(*this, controls, row, Language->Get(SectionOf(row.section), QString::fromLatin1(row.id)));
    for (const LanguageMessageRow& row : kLanguageMessageTable)
        LNGA[row.slot - 1] = Language->Get(SectionOf(row.section), QString::fromLatin1(row.id));
}

void TMainForm::LanguageMenuItemClick(TControl* sender)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || item->Caption().isEmpty() || !Language)
        return;
    const QString fileName = ProgramDir + QStringLiteral("Languages/") + item->Caption() + kLanguageFileExt;
    if (!Language->LoadLanguage(fileName))
        return;
    CurrentLanguage = item->Caption();
    ApplyLanguage();
    if (MyReg)
        MyReg->WriteStringPar(QStringLiteral("Language"), CurrentLanguage);
}

void TMainForm::UpdateLanguageChecks()
{
    if (!LanguageMenuItem)
        return;
    for (const auto& item : LanguageMenuItem->Items)
        item->SetChecked(item->Caption() == CurrentLanguage);
}

void TMainForm::ViewMenuItemClick(TControl*)
{
    UpdateLanguageChecks();
}

}  // namespace ondrava
