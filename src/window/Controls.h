#pragma once
// A model of the window's controls. The window's rules are written against these objects and
// tested on them without a display; the Qt view mirrors them into real widgets and feeds the
// user's actions back through the User* operations.
//
// Semantics the rules rely on:
// - every control has its own enabled and visible flags (a disabled tab page does not change
//   what a list on it reports);
// - setting an edit box's text, by the program or the user, runs its change handler;
// - an item chosen by the program (SetItemIndex) does not run a list's change handler, the
//   user's choice (UserSelect) does; the same holds for the slider and the tab control;
// - every change is announced to the host, so that a view can repaint what changed.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace ondrava {

class TControl;

// Receives a note of every change of a control; the view listens here.
class ControlHost {
public:
    std::function<void(TControl*)> onChanged;
    void Changed(TControl* c) const
    {
        if (onChanged)
            onChanged(c);
    }
};

class TControl {
public:
    TControl(ControlHost& host, QString name, QRect bounds = {})
        : Name(std::move(name)), m_host(&host), m_bounds(bounds) {}
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const QString Name;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { Set(m_enabled, v); }
    bool Visible() const { return m_visible; }
    void SetVisible(bool v) { Set(m_visible, v); }
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& v) { Set(m_hint, v); }
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& v) { Set(m_caption, v); }
    int Tag() const { return m_tag; }
    void SetTag(int v) { Set(m_tag, v); }
    // Left, top, width, height in pixels of the parent's client area.
    const QRect& Bounds() const { return m_bounds; }
    void SetBounds(const QRect& v) { Set(m_bounds, v); }
    int Left() const { return m_bounds.left(); }
    int Top() const { return m_bounds.top(); }
    int Width() const { return m_bounds.width(); }
    int Height() const { return m_bounds.height(); }
    void SetWidth(int w) { SetBounds(QRect(m_bounds.left(), m_bounds.top(), w, m_bounds.height())); }

protected:
    template <typename T>
    void Set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    void Changed() { m_host->Changed(this); }

private:
    ControlHost* m_host;
    bool m_enabled = true;
    bool m_visible = true;
    QString m_hint;
    QString m_caption;
    int m_tag = 0;
    QRect m_bounds;
};

using TNotifyEvent = std::function<void(TControl* sender)>;

class TLabel : public TControl {
public:
    using TControl::TControl;
    bool Underlined() const { return m_underlined; }
    void SetUnderlined(bool v) { Set(m_underlined, v); }
    // Shown as a link (hand cursor, link colour) that can be clicked.
    bool IsLink() const { return m_link; }
    void SetLink(bool v) { Set(m_link, v); }

private:
    bool m_underlined = false;
    bool m_link = false;
};

// Push buttons and speed buttons; device buttons use the group and down state and a picture.
class TButton : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnClick;
    // The user's click: runs OnClick only while the button is enabled, as a real button does.
    void UserClick()
    {
        if (Enabled() && OnClick)
            OnClick(this);
    }
    void Click()
    {
        if (OnClick)
            OnClick(this);
    }
};

class TSpeedButton : public TButton {
public:
    using TButton::TButton;
    int GroupIndex() const { return m_group; }
    void SetGroupIndex(int v) { Set(m_group, v); }
    bool Down() const { return m_down; }
    void SetDown(bool v) { Set(m_down, v); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool v) { Set(m_flat, v); }
    // The picture file: images side by side (NumGlyphs of them: up, disabled, clicked, down).
    const QString& GlyphFile() const { return m_glyph; }
    void SetGlyphFile(const QString& v) { Set(m_glyph, v); }
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int v) { Set(m_numGlyphs, v); }

private:
    int m_group = 0;
    bool m_down = false;
    bool m_flat = false;
    QString m_glyph;
    int m_numGlyphs = 1;
};

class TEdit : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnChange;
    TNotifyEvent OnExit;
    const QString& Text() const { return m_text; }
    // Runs OnChange when the text changes, whoever changes it.
    void SetText(const QString& v)
    {
        if (m_text == v)
            return;
        m_text = v;
        Changed();
        if (OnChange)
            OnChange(this);
    }
    void UserType(const QString& v) { SetText(v); }
    void UserLeave()
    {
        if (OnExit)
            OnExit(this);
    }

private:
    QString m_text;
};

// Drop-down lists. An editable one (Editable()) also takes typed text; typed text that equals
// no item leaves no item chosen.
class TComboBox : public TControl {
public:
    TComboBox(ControlHost& host, QString name, QRect bounds, QStringList items, bool editable)
        : TControl(host, std::move(name), bounds), m_items(std::move(items)), m_editable(editable) {}
    TNotifyEvent OnChange;

    bool Editable() const { return m_editable; }
    const QStringList& Items() const { return m_items; }
    void SetItems(const QStringList& v) { Set(m_items, v); }
    void SetItem(int i, const QString& text)
    {
        if (i < 0 || i >= m_items.size() || m_items[i] == text)
            return;
        m_items[i] = text;
        if (m_index == i)
            m_text = text;
        Changed();
    }
    int ItemIndex() const { return m_index; }
    // The program's choice: no change handler runs. -1 chooses nothing and empties the text.
    void SetItemIndex(int i)
    {
        if (i < -1 || i >= m_items.size())
            i = -1;
        const QString text = i >= 0 ? m_items[i] : QString();
        if (m_index == i && m_text == text)
            return;
        m_index = i;
        m_text = text;
        Changed();
    }
    // The shown text: the chosen item's, or what was typed into an editable list.
    const QString& Text() const { return m_text; }
    void SetText(const QString& v)
    {
        const int i = int(m_items.indexOf(v));
        if (!m_editable) {
            SetItemIndex(i);
            return;
        }
        if (m_text == v && m_index == i)
            return;
        m_text = v;
        m_index = i;
        Changed();
    }
    // The user's actions: they run the change handler.
    void UserSelect(int i)
    {
        SetItemIndex(i);
        if (OnChange)
            OnChange(this);
    }
    void UserType(const QString& v)
    {
        SetText(v);
        if (OnChange)
            OnChange(this);
    }

private:
    QStringList m_items;
    bool m_editable;
    int m_index = -1;
    QString m_text;
};

class TTrackBar : public TControl {
public:
    TTrackBar(ControlHost& host, QString name, QRect bounds, int min, int max)
        : TControl(host, std::move(name), bounds), m_min(min), m_max(max), m_pos(min) {}
    TNotifyEvent OnChange;
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_pos; }
    // Kept within the range, as the real slider does.
    void SetPosition(int v) { Set(m_pos, qBound(m_min, v, m_max)); }
    void UserMove(int v)
    {
        SetPosition(v);
        if (OnChange)
            OnChange(this);
    }

private:
    int m_min;
    int m_max;
    int m_pos;
};

class TProgressBar : public TControl {
public:
    using TControl::TControl;
    int Position() const { return m_pos; }
    // The bar's range is 0 to 100; a value above shows as a full bar.
    void SetPosition(int v) { Set(m_pos, qBound(0, v, 100)); }

private:
    int m_pos = 0;
};

class TTabSheet : public TControl {
public:
    using TControl::TControl;
};

class TPageControl : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnChange;
    std::vector<TTabSheet*> Pages;
    int ActivePageIndex() const { return m_active; }
    void SetActivePageIndex(int v)
    {
        if (v < 0 || v >= int(Pages.size()))
            return;
        Set(m_active, v);
    }
    void UserSelectPage(int v)
    {
        if (!Enabled() || v == m_active)
            return;
        SetActivePageIndex(v);
        if (OnChange)
            OnChange(this);
    }

private:
    int m_active = 0;
};

// Holds the device buttons; its width follows the number of buttons.
class TPanel : public TControl {
public:
    using TControl::TControl;
    std::vector<std::unique_ptr<TSpeedButton>> Buttons;
};

// A strip that scrolls its panel sideways; the position stays within 0 and the panel's
// overhang, as the real scroller keeps it.
class TPageScroller : public TControl {
public:
    TPageScroller(ControlHost& host, QString name, QRect bounds, TPanel& panel)
        : TControl(host, std::move(name), bounds), m_panel(&panel) {}
    int Position() const { return m_pos; }
    int MaxPosition() const { return qMax(0, m_panel->Width() - Width()); }
    void SetPosition(int v) { Set(m_pos, qBound(0, v, MaxPosition())); }

private:
    TPanel* m_panel;
    int m_pos = 0;
};

class TAction;

class TMenuItem : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnClick;
    std::vector<std::unique_ptr<TMenuItem>> Items;
    bool IsSeparator = false;
    bool AutoCheck = false;
    TAction* Action = nullptr;
    bool Checked() const { return m_checked; }
    void SetChecked(bool v) { Set(m_checked, v); }
    void UserClick()
    {
        if (!Enabled())
            return;
        if (AutoCheck)
            SetChecked(!Checked());
        if (OnClick)
            OnClick(this);
    }
    TMenuItem* Add(std::unique_ptr<TMenuItem> item)
    {
        Items.push_back(std::move(item));
        Changed();
        return Items.back().get();
    }

private:
    bool m_checked = false;
};

// A command shared by a menu item and its shortcut; OnUpdate runs when the application is idle.
class TAction : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    QString ShortCut;  // as Qt's QKeySequence text, for example "F1"
    bool Checked() const { return m_checked; }
    void SetChecked(bool v) { Set(m_checked, v); }
    void Execute()
    {
        if (Enabled() && OnExecute)
            OnExecute(this);
    }
    void Update()
    {
        if (OnUpdate)
            OnUpdate(this);
    }

private:
    bool m_checked = false;
};

class TPopupMenu : public TControl {
public:
    using TControl::TControl;
    TNotifyEvent OnPopup;
    std::vector<TMenuItem*> Items;
};

// A one-shot-by-handler timer over QTimer (QtCore): its handler stops it first, so a start
// gives one tick. Tests call the handler directly.
class TTimer : public TControl {
public:
    TTimer(ControlHost& host, QString name, int intervalMs)
        : TControl(host, std::move(name)), m_intervalMs(intervalMs)
    {
        m_timer.setInterval(intervalMs);
        // The automatic conversion starts one tick after start-up; a coarse timer could add
        // tens of milliseconds to every automatic run.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (OnTimer)
                OnTimer(this);
        });
        TControl::SetEnabled(false);
    }
    TNotifyEvent OnTimer;
    int Interval() const { return m_intervalMs; }
    // Starts or stops the timer (shadows the plain flag of TControl).
    void SetEnabled(bool on)
    {
        TControl::SetEnabled(on);
        if (on)
            m_timer.start(m_intervalMs);
        else
            m_timer.stop();
    }
    // Starts the timer with its first tick after firstMs instead of the interval: a start that
    // has already waited part of its interval elsewhere. Later starts use the interval again.
    void StartAfter(int firstMs)
    {
        TControl::SetEnabled(true);
        m_timer.start(std::clamp(firstMs, 0, m_intervalMs));
    }
    // Milliseconds until the next tick; -1 when stopped.
    int RemainingMs() const { return m_timer.remainingTime(); }

private:
    int m_intervalMs;
    QTimer m_timer;
};

// An open-file dialog's settings; the desktop runs it (FormServices::ExecuteOpenDialog).
struct TOpenDialog {
    QString Title;
    // "description|patterns|description|patterns|..." with patterns separated by ";".
    QString Filter;
    int FilterIndex = 1;  // counted from 1
    QString InitialDir;
    QString FileName;
    QString DefaultExt;  // without the dot; appended to a name chosen without extension
};

}  // namespace ondrava
