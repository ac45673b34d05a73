#pragma once
// The main window on the desktop: real widgets at the form's positions that mirror the
// window's model and hand the user's actions to it. Every rule lives in TMainForm; this view
// only shows what the model says and reports what the user did.
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

class QButtonGroup;
class QKeyEvent;
class QLabel;
class QMenu;
class QToolButton;

namespace ondrava {

class TMainForm;
class TControl;
class TLabel;
class TMenuItem;
class TSpeedButton;
class PageScrollerView;

class MainWindowView : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 477;
    static constexpr int kClientHeight = 294;

    // Listens to the form's control host until destroyed.
    explicit MainWindowView(TMainForm& form, QWidget* parent = nullptr);
    ~MainWindowView() override;

    TMainForm& Form() const { return m_form; }
    // The area below the menu bar that holds the controls.
    QWidget* ClientArea() const { return m_client; }
    // The widget that shows a control (its object name is the control's name), or nullptr.
    QWidget* WidgetOf(const TControl& control) const;
    // The pull-down menu of a top-level menu item, or nullptr.
    QMenu* MenuOf(const TMenuItem& topLevel) const;
    // The widget of a device button, or nullptr while the view has not caught up with it.
    QToolButton* DeviceButtonOf(const TSpeedButton& button) const;
    PageScrollerView* DeviceStrip() const { return m_scroller; }

    // The sans font of the form at a size in points.
    static QFont FormFont(int pointSize);

    // Runs every menu action's update handler, as the model expects when the window idles.
    void UpdateActions();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a step of the model that the user started; errors go to the error box.
    void Run(const std::function<void()>& step);
    void BuildControls();
    void BuildMenus();
    void SetTabOrder();
    void Bind(TControl& control, QWidget* widget, std::function<void()> apply);
    void ApplyCommon(const TControl& control, QWidget* widget);
    void ApplyLabel(const TLabel& label, QLabel* widget, bool rightAligned, int maxRight);
    void OnChanged(TControl* control);
    void ApplyMenuControl(TControl* control);
    void SyncDeviceButtons();
    void ScheduleDeviceSync();
    void ApplyDeviceButton(TSpeedButton& button, QToolButton* widget);
    QPoint PageOffset() const;
    // Lets the window see the Enter key of a control that can take the focus.
    void WatchKeys(QWidget* widget);
    // Enter on a button presses it; on a control without a use of its own for Enter, it
    // presses Convert. True when the key was used.
    bool PressesDefaultButton(QObject* watched, QKeyEvent* event);

    TMainForm& m_form;
    QWidget* m_client = nullptr;
    PageScrollerView* m_scroller = nullptr;
    QButtonGroup* m_deviceGroup = nullptr;
    std::unordered_map<const TControl*, QWidget*> m_widgets;
    std::unordered_map<const TControl*, std::function<void()>> m_apply;
    std::vector<std::pair<TSpeedButton*, QToolButton*>> m_deviceButtons;
    std::vector<std::pair<TMenuItem*, QMenu*>> m_menus;
    QTimer m_idleUpdate;
    bool m_deviceSyncPending = false;
};

}  // namespace ondrava
