#pragma once
// What the window logic asks of the desktop: message boxes, file dialogs, the popup menu,
// pumping events and closing. The Qt view answers for real; tests answer with a fake, so that
// no test blocks on a modal box.
#include <QString>

namespace ondrava {

struct TOpenDialog;
class TPopupMenu;

class FormServices {
public:
    virtual ~FormServices() = default;
    // A message box with an OK button (refusals such as an invalid size).
    virtual void ShowMessage(const QString& text) = 0;
    // A warning box with an OK button (why a conversion failed).
    virtual void ShowWarning(const QString& text) { ShowMessage(text); }
    // An information box with an OK button (answers of the menu's update check).
    virtual void ShowInformation(const QString& text) = 0;
    // A confirmation with Yes and No, Yes being the default; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // The application's error box for an error that escaped a step, with the error's text.
    virtual void ShowError(const QString& text) = 0;
    // Runs an open-file dialog; true when the user confirmed, the choice is then in dialog.FileName.
    virtual bool ExecuteOpenDialog(TOpenDialog& dialog) = 0;
    // Opens the popup at the mouse cursor.
    virtual void PopupAtCursor(TPopupMenu& menu) = 0;
    // Processes the pending events and returns.
    virtual void ProcessEvents() = 0;
    // Asks the window to close; the close query decides.
    virtual void CloseWindow() = 0;
    // Shows the About box modally.
    virtual void ShowAbout() = 0;
    // Whether the window is the one the user works in; when it is not, the end of a
    // conversion is also announced on the desktop.
    virtual bool IsWindowActive() { return true; }
};

// Answers nothing and shows nothing: for a window without a desktop.
class NullFormServices : public FormServices {
public:
    void ShowMessage(const QString&) override {}
    void ShowInformation(const QString&) override {}
    bool AskYesNo(const QString&) override { return false; }
    void ShowError(const QString&) override {}
    bool ExecuteOpenDialog(TOpenDialog&) override { return false; }
    void PopupAtCursor(TPopupMenu&) override {}
    void ProcessEvents() override {}
    void CloseWindow() override {}
    void ShowAbout() override {}
};

}  // namespace ondrava
