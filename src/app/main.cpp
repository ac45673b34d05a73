// Program entry: sets up the desktop services, the window's folders and texts, and runs the
// main window until it closes.
#include "common/Error.h"
#include "common/extFunc.h"
#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"
#include "platform/DesktopShell.h"
#include "platform/DesktopSound.h"
#include "window/MainF.h"
#include "window/MainWindowView.h"
#include "window/QtFormServices.h"

#include <QApplication>
#include <QDir>

#include <memory>

using namespace ondrava;

namespace {

TLanguageSections SectionOf(const char* name)
{
    const QLatin1String section(name);
    if (section == QLatin1String("MainMenu"))
        return TLanguageSections::lsMainMenu;
    if (section == QLatin1String("MainForm"))
        return TLanguageSections::lsMainForm;
    return TLanguageSections::lsGeneralMessages;
}

void LoadEnglish(TMainForm& form)
{
    form.Language = std::make_unique<TLanguage>();
    form.CurrentLanguage = QStringLiteral("English");
    try {
        form.Language->LoadLanguage(form.ProgramDir + QStringLiteral("Languages/English.lng"));
    } catch (const Error& e) {
        form.Services.ShowError(e.message());
    }
    for (const LanguageMessageRow& row : kLanguageMessageTable)
        form.LNGA[row.slot - 1] = form.Language->Get(SectionOf(row.section), QString::fromLatin1(row.id));
    form.ApplyLanguage();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    QApplication::setApplicationVersion(QStringLiteral(ONDRAVA_VERSION));

    DesktopShell desktopShell;
    SetShell(&desktopShell);
    DesktopSoundPlayer desktopSound;
    SetSoundPlayer(&desktopSound);

    int result = 0;
    {
        QtFormServices services;
        TMainForm form(services);
        form.ProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        form.SoundDir = form.ProgramDir + QStringLiteral("Sounds/");
        form.AppDataDir = GetSpecialFolderPath(26) + QStringLiteral("/Ondrava/");
        QDir().mkpath(form.AppDataDir);
        LoadEnglish(form);

        MainWindowView window(form);
        services.SetWindow(&window);
        // The window starts in its "no source" state.
        form.SourceFilenameEditChange(&form.SourceFilenameEdit);
        window.show();
        result = app.exec();
        services.SetWindow(nullptr);
    }

    SetSoundPlayer(nullptr);
    SetShell(nullptr);
    return result;
}
