#pragma once
// Every reach outside the process through the desktop shell goes through this interface,
// so that tests record the calls instead of opening a browser or a file manager.
#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace ondrava {

class Shell {
public:
    virtual ~Shell() = default;
    // Documents, folders (file URLs), web and mail addresses.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // A program with parameters; no shell is involved.
    virtual bool StartDetached(const QString& program, const QStringList& args) = 0;
    // Shows this file selected in its folder.
    virtual bool ShowInFolder(const QString& filePath) = 0;
};

// Keeps every call and answers with `result`.
// kind is "OpenUrl" (target: the URL as text), "StartDetached" (target: the program,
// args: its arguments) or "ShowInFolder" (target: the file path).
class RecordingShell : public Shell {
public:
    struct Call {
        QString kind;
        QString target;
        QStringList args;
    };
    std::vector<Call> calls;
    bool result = true;

    bool OpenUrl(const QUrl& url) override;
    bool StartDetached(const QString& program, const QStringList& args) override;
    bool ShowInFolder(const QString& filePath) override;
};

// The shell in force: by default a RecordingShell, so nothing leaves the process until the
// program entry installs the desktop shell.
Shell& CurrentShell();
// Not owned; nullptr restores the default.
void SetShell(Shell* shell);

}  // namespace ondrava
