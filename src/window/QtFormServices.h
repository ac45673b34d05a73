#pragma once
// The desktop's answers to the window logic: real message boxes, file dialogs and popups.
#include "window/FormServices.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QFileDialog;

namespace ondrava {

class QtFormServices : public FormServices {
public:
    // The window is the parent of the boxes and dialogs and what CloseWindow closes; it may
    // be given later, once the window exists.
    explicit QtFormServices(QWidget* window = nullptr);
    ~QtFormServices() override;
    void SetWindow(QWidget* window) { m_window = window; }
    QWidget* Window() const { return m_window; }

    void ShowMessage(const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ExecuteOpenDialog(TOpenDialog& dialog) override;
    void PopupAtCursor(TPopupMenu& menu) override;
    void ProcessEvents() override;
    void CloseWindow() override;
    void ShowAbout() override;
    // The main window has the focus; without a window there is nothing to announce elsewhere.
    bool IsWindowActive() override;

    // Opens the popup at a screen position without waiting for the choice; a chosen item
    // reaches the model through its UserClick.
    void PopupAt(TPopupMenu& menu, const QPoint& globalPos);
    // The popup now open, if any (tests choose its items).
    QMenu* OpenPopup() const { return m_popup; }

    // "desc|patterns|desc|patterns" into Qt's name filters "desc (pat1 pat2)", entry by entry.
    static QStringList NameFilters(const QString& filter);
    // A confirmed name without extension gets "." + defaultExt.
    static QString CompleteChosenName(const QString& path, const QString& defaultExt);
    // The dialog set up from the settings, not yet shown.
    static std::unique_ptr<QFileDialog> MakeOpenDialog(const TOpenDialog& dialog, QWidget* parent);

private:
    QPointer<QWidget> m_window;
    QPointer<QMenu> m_popup;
};

}  // namespace ondrava
