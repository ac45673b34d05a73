// Opening documents, folders, web and mail addresses, and starting programs, through the
// desktop's shell layer. Failures are ignored: nothing is shown.
#include "window/MainF.h"

#include "platform/CommandLine.h"
#include "platform/Shell.h"

#include <QFileInfo>
#include <QUrl>

namespace ondrava {

namespace {

// Only these address kinds open as addresses; anything else is taken as a local name, so a
// file called "a:b.mkv" is not mistaken for an address.
bool IsAddress(const QString& text)
{
    if (text.startsWith(QLatin1Char('/')))
        return false;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto") || scheme == QLatin1String("ftp") ||
           scheme == QLatin1String("file");
}

}  // namespace

void TMainForm::ShellOpen(const QString& fileName, const QString& params)
{
    if (fileName.isEmpty())
        return;
    Shell& shell = CurrentShell();
    if (!QFileInfo::exists(fileName) && IsAddress(fileName)) {
        shell.OpenUrl(QUrl(fileName, QUrl::StrictMode));
        return;
    }
    if (!params.isEmpty()) {
        shell.StartDetached(fileName, SplitWindowsArguments(params));
        return;
    }
    shell.OpenUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
}

}  // namespace ondrava
