#pragma once
// Menu entries over the model's menu items: each QAction shows its item (or the item's
// action) and hands a click back to the model.
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace ondrava {

class TMenuItem;
class TAction;
class FormServices;

// Runs a step the user started; an error that escapes it is shown in the error box, as the
// application does for every handler, instead of unwinding through the event loop.
void RunUserStep(FormServices& services, const std::function<void()>& step);

// The model's accelerator text ("&File") is Qt's too; a plain "-" caption is a separator.
// Fills menu with one entry per item, submenus for items that hold items.
// Clicks reach the items through RunUserStep with services.
void FillMenu(QMenu* menu, const std::vector<TMenuItem*>& items, FormServices& services);
void FillMenu(QMenu* menu, const TMenuItem& parent, FormServices& services);

// Puts the item's state (caption, enabled, visible, tick, shortcut) into its entry.
void ApplyMenuItem(QAction* entry, const TMenuItem& item, FormServices& services);

// The item behind an entry made by FillMenu, or nullptr.
TMenuItem* MenuItemOf(const QAction* entry);

// Runs the update handler of every action linked from the items, depth first: the model's
// "idle" update before a menu shows.
void UpdateActions(const std::vector<TMenuItem*>& items);

// Tooltip text of a hint: line breaks in the model's form ("\r\n") become "\n".
QString HintToToolTip(const QString& hint);

}  // namespace ondrava
