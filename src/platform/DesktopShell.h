#pragma once
// The real desktop shell: the user's browser, mail program, file manager and programs.
#include "platform/Shell.h"

namespace ondrava {

class DesktopShell : public Shell {
public:
    bool OpenUrl(const QUrl& url) override;
    // The program's standard input is the null device; no shell is involved.
    bool StartDetached(const QString& program, const QStringList& args) override;
    // Asks the session's file manager to show the file selected; opens its folder when no
    // file manager answers.
    bool ShowInFolder(const QString& filePath) override;
};

}  // namespace ondrava
