#include "window/QtMenus.h"

#include "common/Error.h"
#include "window/Controls.h"
#include "window/FormServices.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QTextDocument>

namespace ondrava {

namespace {

const char* const kItemProperty = "ondravaMenuItem";

bool SameItems(const QMenu* menu, const TMenuItem& parent)
{
    const QList<QAction*> entries = menu->actions();
    if (entries.size() != qsizetype(parent.Items.size()))
        return false;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (MenuItemOf(entries[i]) != parent.Items[size_t(i)].get())
            return false;
    }
    return true;
}

void ClearMenu(QMenu* menu)
{
    // Entries may be in the middle of delivering their own click.
    const QList<QAction*> entries = menu->actions();
    for (QAction* entry : entries) {
        menu->removeAction(entry);
        entry->deleteLater();
    }
}

QAction* AddEntry(QMenu* menu, TMenuItem* item, FormServices& services)
{
    auto* entry = new QAction(menu);
    entry->setProperty(kItemProperty, QVariant::fromValue(quintptr(item)));
    menu->addAction(entry);
    QPointer<QAction> guard(entry);
    QObject::connect(entry, &QAction::triggered, entry, [item, guard, &services] {
        RunUserStep(services, [item] { item->UserClick(); });
        // The model decides the tick, whatever Qt toggled.
        if (guard)
            ApplyMenuItem(guard, *item, services);
    });
    ApplyMenuItem(entry, *item, services);
    return entry;
}

}  // namespace

TMenuItem* MenuItemOf(const QAction* entry)
{
    if (!entry)
        return nullptr;
    return reinterpret_cast<TMenuItem*>(entry->property(kItemProperty).value<quintptr>());
}

void RunUserStep(FormServices& services, const std::function<void()>& step)
{
    try {
        step();
    } catch (const Error& e) {
        services.ShowError(e.message());
    } catch (const std::exception& e) {
        services.ShowError(QString::fromLocal8Bit(e.what()));
    }
}

void FillMenu(QMenu* menu, const std::vector<TMenuItem*>& items, FormServices& services)
{
    ClearMenu(menu);
    for (TMenuItem* item : items)
        AddEntry(menu, item, services);
}

void FillMenu(QMenu* menu, const TMenuItem& parent, FormServices& services)
{
    std::vector<TMenuItem*> items;
    for (const auto& item : parent.Items)
        items.push_back(item.get());
    FillMenu(menu, items, services);
}

void ApplyMenuItem(QAction* entry, const TMenuItem& item, FormServices& services)
{
    const TAction* action = item.Action;
    entry->setSeparator(item.IsSeparator);
    if (item.IsSeparator) {
        entry->setVisible(item.Visible());
        return;
    }
    // A linked action's caption, state and shortcut show on its entry.
    entry->setText(action ? action->Caption() : item.Caption());
    entry->setEnabled(item.Enabled() && (!action || action->Enabled()));
    entry->setVisible(item.Visible() && (!action || action->Visible()));
    const bool checked = item.Checked() || (action && action->Checked());
    entry->setCheckable(checked);
    entry->setChecked(checked);
    if (action)
        entry->setShortcut(QKeySequence(action->ShortCut));
    entry->setToolTip(HintToToolTip(action ? action->Hint() : item.Hint()));

    if (item.Items.empty()) {
        if (QMenu* sub = entry->menu()) {
            entry->setMenu(nullptr);
            sub->deleteLater();
        }
        return;
    }
    QMenu* sub = entry->menu();
    if (!sub) {
        sub = new QMenu(qobject_cast<QWidget*>(entry->parent()));
        entry->setMenu(sub);
    }
    if (!SameItems(sub, item))
        FillMenu(sub, item, services);
}

void UpdateActions(const std::vector<TMenuItem*>& items)
{
    for (TMenuItem* item : items) {
        if (item->Action)
            item->Action->Update();
        std::vector<TMenuItem*> children;
        for (const auto& child : item->Items)
            children.push_back(child.get());
        UpdateActions(children);
    }
}

QString HintToToolTip(const QString& hint)
{
    QString text = hint;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // Hints carry file names and the tool's own messages: text that merely looks like markup
    // must still show as it is written.
    if (Qt::mightBeRichText(text))
        return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
    return text;
}

}  // namespace ondrava
