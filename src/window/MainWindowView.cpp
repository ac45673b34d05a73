#include "window/MainWindowView.h"

#include "window/BannerView.h"
#include "window/DeviceButtonView.h"
#include "window/MainF.h"
#include "window/PageScrollerView.h"
#include "window/QtMenus.h"
#include "window/ssDropFile.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QToolButton>

namespace ondrava {

namespace {

const QColor kLinkColor(0x00, 0x00, 0x80);  // navy

QIcon StandardIcon(QWidget* w, QStyle::StandardPixmap which)
{
    return w->style()->standardIcon(which, nullptr, w);
}

}  // namespace

MainWindowView::MainWindowView(TMainForm& form, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_form(form)
{
    setObjectName(m_form.FormControl.Name);
    setFont(FormFont(8));
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(m_client);

    BuildMenus();
    BuildControls();
    SetTabOrder();
    // Enter is the default button's key wherever the focus has no use of its own for it.
    for (QWidget* w : m_client->findChildren<QWidget*>())
        WatchKeys(w);
    // The window keeps the size of its menu bar and client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_form.Host.onChanged = [this](TControl* c) { OnChanged(c); };
    setWindowTitle(m_form.Caption());
    SyncDeviceButtons();

    // The model's actions update themselves when the window idles.
    m_idleUpdate.setInterval(250);
    connect(&m_idleUpdate, &QTimer::timeout, this, [this] { UpdateActions(); });
    m_idleUpdate.start();
}

MainWindowView::~MainWindowView()
{
    m_form.Host.onChanged = nullptr;
}

QFont MainWindowView::FormFont(int pointSize)
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        if (families.contains(QStringLiteral("DejaVu Sans")))
            return QStringLiteral("DejaVu Sans");
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family, pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QWidget* MainWindowView::WidgetOf(const TControl& control) const
{
    const auto it = m_widgets.find(&control);
    return it == m_widgets.end() ? nullptr : it->second;
}

QMenu* MainWindowView::MenuOf(const TMenuItem& topLevel) const
{
    for (const auto& [item, menu] : m_menus) {
        if (item == &topLevel)
            return menu;
    }
    return nullptr;
}

QToolButton* MainWindowView::DeviceButtonOf(const TSpeedButton& button) const
{
    for (const auto& [model, widget] : m_deviceButtons) {
        if (model == &button)
            return widget;
    }
    return nullptr;
}

QPoint MainWindowView::PageOffset() const
{
    return {};
}

void MainWindowView::Bind(TControl& control, QWidget* widget, std::function<void()> apply)
{
    widget->setObjectName(control.Name);
    m_widgets[&control] = widget;
    m_apply[&control] = std::move(apply);
    m_apply[&control]();
}

void MainWindowView::ApplyCommon(const TControl& control, QWidget* widget)
{
    widget->setEnabled(control.Enabled());
    widget->setVisible(control.Visible());
    widget->setToolTip(HintToToolTip(control.Hint()));
}

void MainWindowView::ApplyLabel(const TLabel& label, QLabel* widget, bool rightAligned, int maxRight)
{
    ApplyCommon(label, widget);
    widget->setText(label.Caption());
    QFont font = widget->font();
    font.setUnderline(label.Underlined());
    widget->setFont(font);
    // Labels grow to their text; a right-aligned one keeps its right edge.
    const QRect b = label.Bounds();
    const int width = widget->sizeHint().width();
    const int height = qMax(widget->sizeHint().height(), b.height());
    const int left = rightAligned ? b.left() + b.width() - width : b.left();
    const int shown = maxRight > 0 ? qMin(width, maxRight - left) : width;
    const QPoint offset = widget->parentWidget() == m_client ? QPoint() : PageOffset();
    widget->setGeometry(left + offset.x(), b.top() + offset.y(), shown, height);
}

void MainWindowView::BuildControls()
{
    TMainForm& f = m_form;
    QWidget* client = m_client;

    auto label = [this](TLabel& model, QWidget* parent, bool rightAligned = false, int maxRight = 0) {
        auto* w = new QLabel(parent);
        w->setTextFormat(Qt::PlainText);
        Bind(model, w, [this, &model, w, rightAligned, maxRight] {
            ApplyLabel(model, w, rightAligned, maxRight);
        });
        return w;
    };
    auto place = [this](const TControl& model, QWidget* w) {
        const QPoint offset = w->parentWidget() == m_client ? QPoint() : PageOffset();
        w->setGeometry(model.Bounds().translated(offset));
    };
    auto edit = [this, place](TEdit& model, QWidget* parent, bool acceptFile) {
        auto* w = new TssDropFileEdit(parent);
        w->SetAcceptFile(acceptFile);
        w->setFont(FormFont(9));
        Bind(model, w, [this, &model, w, place] {
            ApplyCommon(model, w);
            place(model, w);
            if (w->text() != model.Text())
                w->setText(model.Text());
        });
        connect(w, &QLineEdit::textEdited, this, [this, &model](const QString& text) { Run([&] { model.UserType(text); }); });
        w->installEventFilter(this);
        return w;
    };
    auto pushButton = [this, place](TButton& model, QWidget* parent) {
        auto* w = new QPushButton(parent);
        w->setAutoDefault(false);
        Bind(model, w, [this, &model, w, place] {
            ApplyCommon(model, w);
            place(model, w);
            w->setText(model.Caption());
        });
        connect(w, &QPushButton::clicked, this, [this, &model] { Run([&model] { model.UserClick(); }); });
        return w;
    };
    auto toolButton = [this, place](TSpeedButton& model, QWidget* parent, QStyle::StandardPixmap icon,
                                    int iconSize) {
        auto* w = new QToolButton(parent);
        w->setIcon(StandardIcon(w, icon));
        w->setIconSize(QSize(iconSize, iconSize));
        w->setToolButtonStyle(Qt::ToolButtonIconOnly);
        Bind(model, w, [this, &model, w, place] {
            ApplyCommon(model, w);
            place(model, w);
            w->setAutoRaise(model.Flat());
        });
        connect(w, &QToolButton::clicked, this, [this, &model] { Run([&model] { model.UserClick(); }); });
        return w;
    };
    auto combo = [this, place](TComboBox& model, QWidget* parent) {
        auto* w = new QComboBox(parent);
        w->setEditable(model.Editable());
        w->setMaxVisibleItems(20);
        if (model.Editable()) {
            // What is typed stays typed: no new items, no completion.
            w->setInsertPolicy(QComboBox::NoInsert);
            w->setCompleter(nullptr);
            connect(w->lineEdit(), &QLineEdit::textEdited, this,
                    [this, &model](const QString& text) { Run([&] { model.UserType(text); }); });
        }
        Bind(model, w, [this, &model, w, place] {
            const QSignalBlocker block(w);
            ApplyCommon(model, w);
            place(model, w);
            QStringList shown;
            for (int i = 0; i < w->count(); ++i)
                shown << w->itemText(i);
            if (shown != model.Items()) {
                w->clear();
                w->addItems(model.Items());
            }
            if (w->currentIndex() != model.ItemIndex())
                w->setCurrentIndex(model.ItemIndex());
            if (model.Editable() && w->currentText() != model.Text())
                w->setEditText(model.Text());
        });
        connect(w, &QComboBox::activated, this, [this, &model](int index) { Run([&] { model.UserSelect(index); }); });
        return w;
    };

    // Source file
    label(f.SourceFileNameLabel, client);
    auto* source = edit(f.SourceFilenameEdit, client, true);
    connect(source, &TssDropFileEdit::DropFile, this,
            [this](QObject*, const QString& fileName, const QPoint& point) {
                Run([&] { m_form.SourceFilenameEditDropFile(&m_form.SourceFilenameEdit, fileName, point); });
            });
    auto* open = pushButton(f.OpenBitBtn, client);
    open->setIcon(StandardIcon(open, QStyle::SP_DialogOpenButton));

    // Banner with its heading
    auto* banner = new BannerView(client);
    Bind(f.Image1, banner, [this, banner, place] {
        ApplyCommon(m_form.Image1, banner);
        place(m_form.Image1, banner);
    });
    auto* heading = label(f.ConvertToLabel, client);
    QFont headingFont = FormFont(12);
    heading->setFont(headingFont);
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, Qt::white);
    heading->setPalette(headingPalette);
    auto* glow = new QGraphicsDropShadowEffect(heading);
    glow->setOffset(0, 0);
    glow->setBlurRadius(5);
    glow->setColor(QColor(0x0a, 0x1e, 0x46, 230));
    heading->setGraphicsEffect(glow);
    m_apply[&f.ConvertToLabel]();
    heading->raise();

    // The two tabs
    auto* tabs = new QTabWidget(client);
    auto* formatPage = new QWidget;
    auto* devicePage = new QWidget;
    tabs->addTab(formatPage, QString());
    tabs->addTab(devicePage, QString());
    const std::vector<std::pair<TTabSheet*, QWidget*>> pages = {{&f.FormatTabSheet, formatPage},
                                                                {&f.DeviceTabSheet, devicePage}};
    Bind(f.VideoPageControl, tabs, [this, tabs, place, pages] {
        const QSignalBlocker block(tabs);
        ApplyCommon(m_form.VideoPageControl, tabs);
        place(m_form.VideoPageControl, tabs);
        for (int i = 0; i < int(pages.size()); ++i)
            tabs->setTabText(i, pages[size_t(i)].first->Caption());
        tabs->setCurrentIndex(m_form.VideoPageControl.ActivePageIndex());
    });
    for (const auto& [sheet, page] : pages) {
        TTabSheet* model = sheet;
        QWidget* w = page;
        const QString name = model->Name;
        m_widgets[model] = w;
        w->setObjectName(name);
        m_apply[model] = [tabs, model, w] {
            w->setEnabled(model->Enabled());
            const int index = tabs->indexOf(w);
            tabs->setTabText(index, model->Caption());
            tabs->setTabToolTip(index, HintToToolTip(model->Hint()));
        };
        m_apply[model]();
    }
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        Run([&] { m_form.VideoPageControl.UserSelectPage(index); });
        // The model may refuse; show what it holds.
        m_apply[&m_form.VideoPageControl]();
    });

    // Format page
    label(f.OutFormatLabel, formatPage);
    combo(f.OutFormatComboBox, formatPage);
    label(f.OutSizeLabel, formatPage);
    combo(f.OutSizeComboBox, formatPage);
    label(f.QualityLabel, formatPage);
    combo(f.QualityComboBox, formatPage);
    label(f.LowQLabel, formatPage, true);
    auto* slider = new QSlider(Qt::Horizontal, formatPage);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setPageStep(1);
    Bind(f.QualityTrackBar, slider, [this, slider, place] {
        const QSignalBlocker block(slider);
        const TTrackBar& model = m_form.QualityTrackBar;
        ApplyCommon(model, slider);
        place(model, slider);
        slider->setRange(model.Min(), model.Max());
        slider->setValue(model.Position());
    });
    connect(slider, &QSlider::valueChanged, this, [this](int v) { Run([&] { m_form.QualityTrackBar.UserMove(v); }); });
    label(f.HiQLabel, formatPage);
    auto* addition = label(f.AdditionLabel, formatPage, true);
    QPalette linkPalette = addition->palette();
    linkPalette.setColor(QPalette::Active, QPalette::WindowText, kLinkColor);
    linkPalette.setColor(QPalette::Inactive, QPalette::WindowText, kLinkColor);
    addition->setPalette(linkPalette);
    addition->setCursor(Qt::PointingHandCursor);
    addition->setContextMenuPolicy(Qt::DefaultContextMenu);
    addition->installEventFilter(this);

    // Device page: the strip of device buttons
    m_scroller = new PageScrollerView(devicePage);
    Bind(f.DevicePageScroller, m_scroller, [this, place] {
        const TPageScroller& model = m_form.DevicePageScroller;
        ApplyCommon(model, m_scroller);
        place(model, m_scroller);
        m_scroller->SetPosition(model.Position());
    });
    // Each step of the strip is the form's scroll step.
    m_scroller->StepSize = [this] {
        int delta = PageScrollerView::kStep;
        m_form.DevicePageScrollerScroll(delta);
        return delta;
    };
    m_scroller->OnScroll = [this](int position) {
        m_form.DevicePageScroller.SetPosition(position);
        m_apply[&m_form.DevicePageScroller]();
    };
    QWidget* panel = m_scroller->Panel();
    m_deviceGroup = new QButtonGroup(this);
    m_deviceGroup->setExclusive(true);
    Bind(f.DeviceButtonsPanel, panel, [this, panel] {
        const TPanel& model = m_form.DeviceButtonsPanel;
        ApplyCommon(model, panel);
        panel->setGeometry(QRect(QPoint(0, 0), model.Bounds().size()));
        m_apply[&m_form.DevicePageScroller]();
        ScheduleDeviceSync();
    });

    // Output file
    label(f.OutFileLabel, client);
    toolButton(f.OpenOutSpeedButton, client, QStyle::SP_DialogSaveButton, 16);
    edit(f.OutVideoFileBEdit, client, false);
    toolButton(f.OpenFileBitBtn, client, QStyle::SP_MediaPlay, 24);
    toolButton(f.OpenFolderBitBtn, client, QStyle::SP_DirOpenIcon, 24);

    // Run
    auto* convert = pushButton(f.ConvertBitBtn, client);
    convert->setDefault(true);
    pushButton(f.StopConvBitBtn, client);
    auto* info = label(f.InfoLabel, client, false, kClientWidth);
    QFont bold = info->font();
    bold.setBold(true);
    info->setFont(bold);
    // After a failed run the status line is a link to the reason, drawn like "more options".
    m_apply[&f.InfoLabel] = [this, info, plainPalette = info->palette(), linkPalette] {
        const TLabel& model = m_form.InfoLabel;
        ApplyLabel(model, info, false, kClientWidth);
        info->setPalette(model.IsLink() ? linkPalette : plainPalette);
        if (model.IsLink())
            info->setCursor(Qt::PointingHandCursor);
        else
            info->unsetCursor();
    };
    m_apply[&f.InfoLabel]();
    info->installEventFilter(this);
    auto* progress = new QProgressBar(client);
    progress->setRange(0, 100);
    progress->setTextVisible(false);
    Bind(f.ProgressBar, progress, [this, progress, place] {
        ApplyCommon(m_form.ProgressBar, progress);
        place(m_form.ProgressBar, progress);
        progress->setValue(m_form.ProgressBar.Position());
    });
}

void MainWindowView::SetTabOrder()
{
    // The form's tab order: Open, Convert, Cancel, source box, tabs, output box.
    const TControl* order[] = {&m_form.OpenBitBtn, &m_form.ConvertBitBtn, &m_form.StopConvBitBtn,
                               &m_form.SourceFilenameEdit, &m_form.VideoPageControl,
                               &m_form.OutVideoFileBEdit};
    QWidget* previous = nullptr;
    for (const TControl* c : order) {
        QWidget* w = WidgetOf(*c);
        if (previous && w)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void MainWindowView::BuildMenus()
{
    for (TMenuItem* top : m_form.MainMenu) {
        QMenu* menu = menuBar()->addMenu(m_form.ShownMenuTitle(*top));
        menu->setObjectName(top->Name);
        FillMenu(menu, *top, m_form.Services);
        m_menus.emplace_back(top, menu);
        connect(menu, &QMenu::aboutToShow, this, [this, top, menu] {
            UpdateActions();
            // A top-level item's click handler runs as its menu opens.
            Run([top] { top->UserClick(); });
            bool same = menu->actions().size() == qsizetype(top->Items.size());
            for (qsizetype i = 0; same && i < menu->actions().size(); ++i)
                same = MenuItemOf(menu->actions()[i]) == top->Items[size_t(i)].get();
            if (!same)
                FillMenu(menu, *top, m_form.Services);
        });
    }
}

void MainWindowView::UpdateActions()
{
    Run([this] { ondrava::UpdateActions(m_form.MainMenu); });
}

void MainWindowView::Run(const std::function<void()>& step)
{
    RunUserStep(m_form.Services, step);
}

void MainWindowView::OnChanged(TControl* control)
{
    if (control == &m_form.FormControl) {
        setWindowTitle(m_form.Caption());
        return;
    }
    const auto it = m_apply.find(control);
    if (it != m_apply.end()) {
        it->second();
        return;
    }
    if (dynamic_cast<TMenuItem*>(control) || dynamic_cast<TAction*>(control)) {
        ApplyMenuControl(control);
        return;
    }
    if (auto* button = dynamic_cast<TSpeedButton*>(control)) {
        if (QToolButton* w = DeviceButtonOf(*button)) {
            ApplyDeviceButton(*button, w);
            return;
        }
    }
    // A control the view does not know yet: device buttons being made.
    ScheduleDeviceSync();
}

void MainWindowView::ApplyMenuControl(TControl* control)
{
    for (const auto& [top, menu] : m_menus) {
        if (top == control) {
            menu->setTitle(m_form.ShownMenuTitle(*top));
            menu->menuAction()->setEnabled(top->Enabled());
            menu->menuAction()->setVisible(top->Visible());
            return;
        }
    }
    // Entries of an item or of the action it runs.
    std::function<void(QMenu*)> visit = [&](QMenu* menu) {
        for (QAction* entry : menu->actions()) {
            TMenuItem* item = MenuItemOf(entry);
            if (item && (item == control || static_cast<TControl*>(item->Action) == control))
                ApplyMenuItem(entry, *item, m_form.Services);
            if (entry->menu())
                visit(entry->menu());
        }
    };
    for (const auto& [top, menu] : m_menus)
        visit(menu);
}

void MainWindowView::ScheduleDeviceSync()
{
    if (m_deviceSyncPending)
        return;
    m_deviceSyncPending = true;
    // Buttons are made one by one; catch up once the maker has finished.
    QTimer::singleShot(0, this, [this] {
        m_deviceSyncPending = false;
        SyncDeviceButtons();
    });
}

void MainWindowView::SyncDeviceButtons()
{
    const auto& buttons = m_form.DeviceButtonsPanel.Buttons;
    bool same = buttons.size() == m_deviceButtons.size();
    for (size_t i = 0; same && i < buttons.size(); ++i)
        same = buttons[i].get() == m_deviceButtons[i].first;
    if (!same) {
        // Never called from a device button's own click: the catching up runs from a timer.
        for (const auto& [model, widget] : m_deviceButtons)
            delete widget;
        m_deviceButtons.clear();
        for (const auto& b : buttons) {
            TSpeedButton* model = b.get();
            auto* w = new DeviceButtonView(m_scroller->Panel());
            w->setObjectName(model->Name);
            WatchKeys(w);
            m_deviceGroup->addButton(w);
            connect(w, &QToolButton::clicked, this, [this, model] {
                Run([model] { model->UserClick(); });
                // The model decides which button is down.
                if (QToolButton* shown = DeviceButtonOf(*model))
                    ApplyDeviceButton(*model, shown);
            });
            m_deviceButtons.emplace_back(model, w);
        }
    }
    for (const auto& [model, widget] : m_deviceButtons)
        ApplyDeviceButton(*model, widget);
}

void MainWindowView::ApplyDeviceButton(TSpeedButton& button, QToolButton* widget)
{
    ApplyCommon(button, widget);
    widget->setGeometry(button.Bounds());
    widget->setAutoRaise(button.Flat());
    widget->setText(button.Caption());
    if (auto* device = qobject_cast<DeviceButtonView*>(widget))
        device->SetPicture(button.GlyphFile(), button.NumGlyphs());
    // The group may not leave every button up; the model may.
    m_deviceGroup->setExclusive(false);
    for (const auto& [model, w] : m_deviceButtons)
        w->setChecked(model->Down());
    m_deviceGroup->setExclusive(true);
}

void MainWindowView::WatchKeys(QWidget* widget)
{
    if (widget->focusPolicy() != Qt::NoFocus)
        widget->installEventFilter(this);
}

bool MainWindowView::PressesDefaultButton(QObject* watched, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (event->modifiers() & ~Qt::KeypadModifier)
        return false;
    // A button takes Enter as its own click.
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
        if (button->isEnabled())
            button->click();
        return true;
    }
    // An open list chooses its item with Enter; everything else leaves Enter to Convert.
    if (auto* box = qobject_cast<QComboBox*>(watched); box && box->view()->isVisible())
        return false;
    if (qobject_cast<QComboBox*>(watched) || qobject_cast<QLineEdit*>(watched) ||
        qobject_cast<QAbstractSlider*>(watched) || qobject_cast<QTabBar*>(watched) ||
        qobject_cast<QTabWidget*>(watched)) {
        Run([this] { m_form.ConvertBitBtn.UserClick(); });
        return true;
    }
    return false;
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    Run([&] { m_form.FormCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    Run([this] { m_form.FormClose(); });
    event->accept();
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == WidgetOf(m_form.AdditionLabel)) {
        switch (event->type()) {
        case QEvent::Enter:
            Run([this] { m_form.AdditionLabelMouseEnter(&m_form.AdditionLabel); });
            break;
        case QEvent::Leave:
            Run([this] { m_form.AdditionLabelMouseLeave(&m_form.AdditionLabel); });
            break;
        case QEvent::MouseButtonRelease:
            // A disabled label is no link: Qt still hands its filters the clicks.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && m_form.AdditionLabel.Enabled())
                Run([this] { m_form.AdditionLabelClick(&m_form.AdditionLabel); });
            break;
        case QEvent::ContextMenu:
            // The label's context menu is the same popup.
            if (m_form.AdditionLabel.Enabled())
                Run([this] { m_form.AdditionLabelClick(&m_form.AdditionLabel); });
            return true;
        default:
            break;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && PressesDefaultButton(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == WidgetOf(m_form.InfoLabel)) {
        switch (event->type()) {
        case QEvent::Enter:
            Run([this] { m_form.InfoLabelMouseEnter(&m_form.InfoLabel); });
            break;
        case QEvent::Leave:
            Run([this] { m_form.InfoLabelMouseLeave(&m_form.InfoLabel); });
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                Run([this] { m_form.InfoLabelClick(&m_form.InfoLabel); });
            break;
        default:
            break;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        // Leaving the box for another control; switching windows or opening a menu is no exit,
        // and neither is the focus moving on because the program disabled the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto* box = qobject_cast<QWidget*>(watched);
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && box && box->isEnabled()) {
            if (watched == WidgetOf(m_form.SourceFilenameEdit))
                Run([this] { m_form.SourceFilenameEdit.UserLeave(); });
            else if (watched == WidgetOf(m_form.OutVideoFileBEdit))
                Run([this] { m_form.OutVideoFileBEdit.UserLeave(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace ondrava
