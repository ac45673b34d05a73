#include "platform/Shell.h"

namespace ondrava {

bool RecordingShell::OpenUrl(const QUrl& url)
{
    calls.push_back({QStringLiteral("OpenUrl"), url.toString(), {}});
    return result;
}

bool RecordingShell::StartDetached(const QString& program, const QStringList& args)
{
    calls.push_back({QStringLiteral("StartDetached"), program, args});
    return result;
}

bool RecordingShell::ShowInFolder(const QString& filePath)
{
    calls.push_back({QStringLiteral("ShowInFolder"), filePath, {}});
    return result;
}

namespace {

Shell*& InstalledShell()
{
    static Shell* shell = nullptr;
    return shell;
}

}  // namespace

Shell& CurrentShell()
{
    // Until the program entry installs the desktop shell nothing may leave the process.
    static RecordingShell fallback;
    Shell* shell = InstalledShell();
    return shell ? *shell : fallback;
}

void SetShell(Shell* shell) { InstalledShell() = shell; }

}  // namespace ondrava
