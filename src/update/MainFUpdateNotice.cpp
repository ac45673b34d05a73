// The window's side of the update check: the silent check at the first conversion, the
// Help menu's check and the notice that offers a newer version.
#include "update/UpdateNotice.h"

#include "app/RegZelt.h"
#include "common/Error.h"
#include "common/extFunc.h"
#include "update/CheckUpdate.h"
#include "window/MainF.h"

#include <QDate>
#include <QFileInfo>

namespace ondrava {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The window whose menu command started a query, with the checker it started.
struct MenuCheck {
    TMainForm* window = nullptr;
    const TMyCheckUpdate* checker = nullptr;
};

MenuCheck& CurrentMenuCheck()
{
    static MenuCheck check;
    return check;
}

// The program file a download manager left in its settings, when that file exists.
QString ManagerProgram(const QString& programName)
{
    try {
        const TZeltRegistry store(programName);
        const QString exeFile = store.ReadStringPar(QStringLiteral("ExeFile"));
        if (!exeFile.isEmpty() && QFileInfo(exeFile).isFile())
            return exeFile;
    } catch (const Error&) {
        // A value the manager did not write as text cannot name its program: skip it.
    }
    return {};
}

// Only a web address may reach a download manager or the browser: a local path or a program
// named by the reply must never be started. A double quote would end the quoted parameter
// the manager receives.
bool IsOfferableAddress(const QString& address)
{
    return IsWebDownloadAddress(address) && !address.contains(QLatin1Char('"'));
}

}  // namespace

qint64 TodayDayNumber()
{
    return QDate(1899, 12, 30).daysTo(QDate::currentDate());
}

void ReceivedUpdate(const QString&)
{
    const MenuCheck check = CurrentMenuCheck();
    // A checker freed with its window leaves CurrentCheckUpdate empty or pointing elsewhere.
    if (!check.window || !CurrentCheckUpdate || CurrentCheckUpdate != check.checker)
        return;
    TMainForm& form = *check.window;
    switch (CurrentCheckUpdate->GetNeedUpdate()) {
    case -1:
        form.Services.ShowInformation(form.LNGA[12]);
        break;
    case 0:
        form.Services.ShowInformation(form.LNGA[11]);
        form.ShowUpdateNotice();
        break;
    case 1:
        form.ShowUpdateNotice();
        break;
    default:
        break;
    }
}

void TMainForm::StartFastUpdateCheck()
{
    if (!NeedStartFastUpdate)
        return;
    NeedStartFastUpdate = false;
    if (MyCheckUpdate)
        MyCheckUpdate->Start(nullptr);
}

void TMainForm::CheckUpdateActionExecute(TControl*)
{
    NeedStartFastUpdate = false;
    if (!MyCheckUpdate)
        return;
    CurrentMenuCheck() = {this, MyCheckUpdate.get()};
    MyCheckUpdate->Start(&ReceivedUpdate);
}

void TMainForm::ShowUpdateNotice()
{
    if (MyReg)
        MyReg->WriteStringPar(QStringLiteral("LastFUDate"), QString::number(TodayDayNumber()));
    if (!MyCheckUpdate)
        return;
    const int needUpdate = MyCheckUpdate->GetNeedUpdate();
    if (MyReg && (needUpdate == 0 || needUpdate == 1)
        && MyReg->ReadStringPar(QStringLiteral("atinmb")) != QLatin1String("1"))
        MyReg->WriteStringPar(QStringLiteral("atinmb"), QStringLiteral("1"));
    if (needUpdate != 1)
        return;
    // One found update is offered once.
    MyCheckUpdate->ResetNeedUpdateFlag();

    const TNewVersionInfo& info = MyCheckUpdate->newVInfo;
    const QString news = FillPlaceholders(LNGA[8], info.version) + kCrLf + info.changes + QLatin1Char('.');
    // A pretty-printed reply puts blanks and line breaks around the address; they belong to
    // the layout, not to the address. Blanks inside it still make it no address.
    const QString url = info.downloadUrl.trimmed();
    if (!IsOfferableAddress(url)) {
        // Nothing may be opened, so the user is told about the version without being asked.
        Services.ShowInformation(news);
        return;
    }
    if (!Services.AskYesNo(news + kCrLf + LNGA[9]))
        return;

    QString manager = ManagerProgram(QStringLiteral("Parvel"));
    if (manager.isEmpty())
        manager = ManagerProgram(QStringLiteral("Tessly"));
    if (!manager.isEmpty())
        ShellOpen(manager, QLatin1Char('"') + url + QLatin1Char('"'));
    else
        ShellOpen(url, QString());
}

}  // namespace ondrava
