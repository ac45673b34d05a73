#pragma once
// A desktop for the window logic in tests: records message boxes, answers dialogs from a
// queue, and lets a test act at a given ProcessEvents call (for example press Stop).
#include "window/Controls.h"
#include "window/FormServices.h"

#include <QCoreApplication>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace ondrava::test {

class FakeFormServices : public FormServices {
public:
    QStringList messages;
    QStringList informations;
    QStringList errors;
    // Answers of the next dialogs in order: a path confirms with it, nullopt cancels; an empty
    // queue cancels.
    std::deque<std::optional<QString>> dialogAnswers;
    std::vector<TOpenDialog> dialogsShown;  // the dialogs as they were opened
    int popups = 0;
    int closeRequests = 0;
    int abouts = 0;
    int processEventsCalls = 0;
    // Runs at every ProcessEvents call with the call's number (from 1).
    std::function<void(int)> onProcessEvents;
    bool pumpQt = false;  // also let Qt process its events

    void ShowMessage(const QString& text) override { messages << text; }
    void ShowInformation(const QString& text) override { informations << text; }
    bool AskYesNo(const QString&) override { return false; }
    void ShowError(const QString& text) override { errors << text; }
    bool ExecuteOpenDialog(TOpenDialog& dialog) override
    {
        dialogsShown.push_back(dialog);
        if (dialogAnswers.empty())
            return false;
        const std::optional<QString> answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (!answer)
            return false;
        dialog.FileName = *answer;
        return true;
    }
    void PopupAtCursor(TPopupMenu& menu) override
    {
        ++popups;
        if (menu.OnPopup)
            menu.OnPopup(&menu);
    }
    void ProcessEvents() override
    {
        ++processEventsCalls;
        if (pumpQt)
            QCoreApplication::processEvents();
        if (onProcessEvents)
            onProcessEvents(processEventsCalls);
    }
    void CloseWindow() override { ++closeRequests; }
    void ShowAbout() override { ++abouts; }
};

}  // namespace ondrava::test
