#pragma once
// Desktop notifications go through this interface, so that tests record them instead of
// showing them on the user's desktop.
#include <QString>

#include <vector>

namespace ondrava {

// The buttons of a notification about a finished file: "Open" opens it, "Show in folder" shows
// it in its folder. The labels are in the window's language.
struct FileActions {
    QString file;
    QString openLabel;
    QString showInFolderLabel;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows a short message outside the window and returns at once; failures are silent.
    virtual void Notify(const QString& summary, const QString& body) = 0;
    // The same with buttons that act on the file, answered while the program runs; a desktop
    // without buttons shows the message alone.
    virtual void NotifyWithFileActions(const QString& summary, const QString& body,
                                       const FileActions& actions)
    {
        (void)actions;
        Notify(summary, body);
    }
};

// Keeps every notification it was asked to show.
class RecordingNotifier : public Notifier {
public:
    struct Call {
        QString summary;
        QString body;
        FileActions actions;  // file empty: a notification without buttons
    };
    std::vector<Call> calls;
    void Notify(const QString& summary, const QString& body) override;
    void NotifyWithFileActions(const QString& summary, const QString& body,
                               const FileActions& actions) override;
};

// The notifier in force: by default a RecordingNotifier, so nothing reaches the desktop until
// the program entry installs the desktop notifier.
Notifier& CurrentNotifier();
// Not owned; nullptr restores the default.
void SetNotifier(Notifier* notifier);

}  // namespace ondrava
