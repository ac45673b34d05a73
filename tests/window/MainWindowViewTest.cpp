// The real window offscreen: layout, the model mirrored into the widgets, the user's actions
// fed back into the model, texts that fit, and a real conversion end to end.
#include "window/DeviceButtonView.h"
#include "window/MainWindowView.h"

#include "i18n/Language.h"
#include "i18n/LanguageTextIds.h"
#include "support/TestSupport.h"
#include "window/MainF.h"
#include "window/PageScrollerView.h"
#include "window/ssDropFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace ondrava;
using namespace testsupport;

namespace {

// Records what the window asks of the desktop; pumps real events so that timers fire during
// a conversion.
class RecordingServices : public NullFormServices {
public:
    QStringList messages;
    QStringList errors;
    int popups = 0;
    int closeRequests = 0;
    void ShowMessage(const QString& text) override { messages << text; }
    void ShowError(const QString& text) override { errors << text; }
    void PopupAtCursor(TPopupMenu&) override { ++popups; }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void CloseWindow() override { ++closeRequests; }
};

struct Window {
    RecordingServices services;
    TMainForm form{services};
    MainWindowView view{form};

    template <typename W>
    W* Widget(const TControl& c) const
    {
        auto* w = qobject_cast<W*>(view.WidgetOf(c));
        EXPECT_NE(w, nullptr) << c.Name.toStdString();
        return w;
    }
    QRect InClient(const TControl& c) const
    {
        QWidget* w = view.WidgetOf(c);
        return QRect(w->mapTo(view.ClientArea(), QPoint(0, 0)), w->size());
    }
};

void TypeText(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

void SendKey(QWidget* w, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// Every control that a language text goes to, by name.
TControl* ControlNamed(TMainForm& f, const QString& name)
{
    TControl* all[] = {&f.N1, &f.ViewMenuItem, f.LanguageMenuItem, &f.N2, &f.SoundAction,
                       &f.OpenSourceAction, &f.ExitAction, &f.AboutAction, &f.ContentsAction,
                       &f.CheckUpdateAction, &f.HomePageAction, &f.SourceFileNameLabel,
                       &f.SourceFilenameEdit, &f.OpenBitBtn, &f.ConvertToLabel, &f.OutFormatLabel,
                       &f.OutFormatComboBox, &f.OutSizeLabel, &f.OutSizeComboBox, &f.QualityComboBox,
                       &f.AdditionLabel, &f.NoSoundPopupMenu, &f.SameAspectRationPMenu,
                       &f.QualityLabel, &f.LowQLabel, &f.HiQLabel, &f.OutFileLabel,
                       &f.OutVideoFileBEdit, &f.OpenOutSpeedButton, &f.OpenFileBitBtn,
                       &f.OpenFolderBitBtn, &f.ConvertBitBtn, &f.StopConvBitBtn, &f.FormatTabSheet,
                       &f.DeviceTabSheet};
    for (TControl* c : all) {
        if (c && c->Name == name)
            return c;
    }
    return nullptr;
}

TLanguageSections SectionOf(const char* name)
{
    const QLatin1String s(name);
    if (s == QLatin1String("MainMenu"))
        return TLanguageSections::lsMainMenu;
    if (s == QLatin1String("MainForm"))
        return TLanguageSections::lsMainForm;
    return TLanguageSections::lsGeneralMessages;
}

// Puts a language file's texts into the window's controls and messages.
bool ApplyLanguageFile(TMainForm& f, const QString& path)
{
    TLanguage language;
    if (!language.LoadLanguage(path))
        return false;
    for (const LanguageTextRow& row : kLanguageTextTable) {
        const QString text = language.Get(SectionOf(row.section), QString::fromLatin1(row.id));
        const QLatin1String property(row.property);
        if (QLatin1String(row.control) == QLatin1String("SourceOpenDialog")) {
            f.SourceOpenDialog.Title = text;
            continue;
        }
        TControl* c = ControlNamed(f, QString::fromLatin1(row.control));
        EXPECT_NE(c, nullptr) << row.control;
        if (!c)
            continue;
        if (property == QLatin1String("Caption"))
            c->SetCaption(text);
        else if (property == QLatin1String("Hint"))
            c->SetHint(text);
        else if (property == QLatin1String("Text"))
            static_cast<TEdit*>(c)->SetText(text);
        else if (property == QLatin1String("FirstItem"))
            static_cast<TComboBox*>(c)->SetItem(0, text);
        else if (property == QLatin1String("SecondItem"))
            static_cast<TComboBox*>(c)->SetItem(1, text);
    }
    for (const LanguageMessageRow& row : kLanguageMessageTable)
        f.LNGA[row.slot - 1] = language.Get(SectionOf(row.section), QString::fromLatin1(row.id));
    return true;
}

QString LanguageFile(const QString& name)
{
    return SourceDir() + QStringLiteral("/../data/Languages/") + name + QStringLiteral(".lng");
}

// Shows every control that some format hides, so that all texts can be measured.
void ShowEverything(TMainForm& f)
{
    f.OutFormatComboBox.SetItemIndex(0);
    f.QualityComboBox.SetItemIndex(1);
    for (TControl* c : std::initializer_list<TControl*>{&f.OutSizeComboBox, &f.OutSizeLabel,
                                                        &f.QualityTrackBar, &f.LowQLabel, &f.HiQLabel})
        c->SetVisible(true);
}

}  // namespace

TEST(MainWindowViewLayout, ClientAreaIsFixedAndControlsStandAtTheirPositions)
{
    Window w;
    w.view.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(w.view.ClientArea()->size(), QSize(477, 294));
    EXPECT_EQ(w.view.minimumSize(), w.view.maximumSize()) << "the window must not be resizable";
    EXPECT_EQ(w.view.size().height(), 294 + w.view.menuBar()->height());
    EXPECT_FALSE(w.view.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.view.windowFlags() & Qt::WindowMinimizeButtonHint);

    const struct {
        const TControl* control;
        QRect rect;
    } cases[] = {
        {&w.form.SourceFilenameEdit, {8, 29, 363, 22}},
        {&w.form.OpenBitBtn, {377, 27, 90, 25}},
        {&w.form.Image1, {8, 57, 458, 34}},
        {&w.form.VideoPageControl, {8, 91, 460, 128}},
        {&w.form.OpenOutSpeedButton, {83, 227, 25, 25}},
        {&w.form.OutVideoFileBEdit, {114, 229, 280, 22}},
        {&w.form.OpenFileBitBtn, {397, 224, 32, 32}},
        {&w.form.OpenFolderBitBtn, {435, 224, 32, 32}},
        {&w.form.ConvertBitBtn, {8, 261, 113, 25}},
        {&w.form.StopConvBitBtn, {127, 262, 75, 25}},
        {&w.form.ProgressBar, {210, 272, 257, 14}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(w.InClient(*c.control), c.rect) << c.control->Name.toStdString();

    // Page controls keep their places relative to each other inside the tab page.
    const QRect format = w.InClient(w.form.OutFormatComboBox);
    const QRect quality = w.InClient(w.form.QualityComboBox);
    EXPECT_EQ(quality.left() - format.left(), 69 - 70);
    EXPECT_EQ(quality.top() - format.top(), 47 - 10);
    EXPECT_EQ(format.width(), 145);

    EXPECT_TRUE(qobject_cast<TssDropFileEdit*>(w.view.WidgetOf(w.form.SourceFilenameEdit))->AcceptFile());
    EXPECT_FALSE(qobject_cast<TssDropFileEdit*>(w.view.WidgetOf(w.form.OutVideoFileBEdit))->AcceptFile());
}

TEST(MainWindowViewMirror, ModelChangesReachTheWidgets)
{
    Window w;
    TMainForm& f = w.form;

    f.ConvertBitBtn.SetEnabled(false);
    EXPECT_FALSE(w.Widget<QPushButton>(f.ConvertBitBtn)->isEnabled());
    f.ConvertBitBtn.SetEnabled(true);
    EXPECT_TRUE(w.Widget<QPushButton>(f.ConvertBitBtn)->isEnabled());

    f.OutFormatComboBox.SetItemIndex(3);
    EXPECT_EQ(w.Widget<QComboBox>(f.OutFormatComboBox)->currentText(), QStringLiteral("MKV"));
    f.OutFormatComboBox.SetItemIndex(-1);
    EXPECT_EQ(w.Widget<QComboBox>(f.OutFormatComboBox)->currentIndex(), -1);

    f.OutSizeComboBox.SetText(QStringLiteral("800x600"));
    EXPECT_EQ(w.Widget<QComboBox>(f.OutSizeComboBox)->currentText(), QStringLiteral("800x600"));
    f.QualityComboBox.SetItem(1, QStringLiteral("Custom"));
    EXPECT_EQ(w.Widget<QComboBox>(f.QualityComboBox)->itemText(1), QStringLiteral("Custom"));

    f.OutSizeComboBox.SetVisible(false);
    EXPECT_TRUE(w.view.WidgetOf(f.OutSizeComboBox)->isHidden());

    f.OutVideoFileBEdit.SetText(QStringLiteral("/tmp/out.mp4"));
    EXPECT_EQ(w.Widget<QLineEdit>(f.OutVideoFileBEdit)->text(), QStringLiteral("/tmp/out.mp4"));

    f.SourceFilenameEdit.SetHint(QStringLiteral("line one\r\nline two"));
    EXPECT_EQ(w.view.WidgetOf(f.SourceFilenameEdit)->toolTip(), QStringLiteral("line one\nline two"));
    // A tool's message that looks like markup still shows as written.
    f.InfoLabel.SetHint(QStringLiteral("<b>broken</b> input"));
    EXPECT_TRUE(w.view.WidgetOf(f.InfoLabel)->toolTip().contains(QStringLiteral("&lt;b&gt;broken")));

    f.ProgressBar.SetPosition(42);
    EXPECT_EQ(w.Widget<QProgressBar>(f.ProgressBar)->value(), 42);
    f.QualityTrackBar.SetPosition(3);
    EXPECT_EQ(w.Widget<QSlider>(f.QualityTrackBar)->value(), 3);

    f.SetInfoText(QStringLiteral("Ready"));
    EXPECT_EQ(w.Widget<QLabel>(f.InfoLabel)->text(), QStringLiteral("Ready"));
    EXPECT_TRUE(w.Widget<QLabel>(f.InfoLabel)->font().bold());

    f.DeviceTabSheet.SetCaption(QStringLiteral("Device"));
    f.VideoPageControl.SetActivePageIndex(1);
    auto* tabs = w.Widget<QTabWidget>(f.VideoPageControl);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Device"));

    f.FormControl.SetCaption(QStringLiteral("Ondrava  (AVI -> MP4)"));
    EXPECT_EQ(w.view.windowTitle(), QStringLiteral("Ondrava  (AVI -> MP4)"));

    f.ExitAction.SetCaption(QStringLiteral("E&xit"));
    QMenu* file = w.view.MenuOf(f.N1);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->actions().last()->text(), QStringLiteral("E&xit"));
    f.N1.SetCaption(QStringLiteral("&File"));
    EXPECT_EQ(file->title(), QStringLiteral("&File"));
}

TEST(MainWindowViewInput, UserActionsReachTheModel)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("talk.avi"));
    WriteFile(clip, "not really a clip");

    Window w;
    TMainForm& f = w.form;
    f.SourceFilenameEditChange(&f.SourceFilenameEdit);
    EXPECT_FALSE(f.ConvertBitBtn.Enabled());

    // Typing an existing file's path enables the output side at once.
    TypeText(w.view.WidgetOf(f.SourceFilenameEdit), clip);
    EXPECT_EQ(f.SourceFilenameEdit.Text(), clip);
    EXPECT_TRUE(f.ConvertBitBtn.Enabled());
    EXPECT_TRUE(w.view.WidgetOf(f.ConvertBitBtn)->isEnabled());

    // Choosing a format runs the form's handler: the output name is proposed.
    auto* format = w.Widget<QComboBox>(f.OutFormatComboBox);
    format->setCurrentIndex(1);
    Q_EMIT format->activated(1);
    EXPECT_EQ(f.OutFormatComboBox.ItemIndex(), 1);
    EXPECT_EQ(f.OutVideoFileBEdit.Text(), dir.filePath(QStringLiteral("talk.webm")));
    EXPECT_EQ(w.Widget<QLineEdit>(f.OutVideoFileBEdit)->text(), f.OutVideoFileBEdit.Text());
    EXPECT_EQ(w.view.windowTitle(), QStringLiteral("Ondrava  (AVI -> WEBM)"));

    // A typed size stays typed and reaches the model.
    auto* size = w.Widget<QComboBox>(f.OutSizeComboBox);
    size->lineEdit()->selectAll();
    TypeText(size->lineEdit(), QStringLiteral("800x600"));
    EXPECT_EQ(f.OutSizeComboBox.Text(), QStringLiteral("800x600"));
    EXPECT_EQ(f.OutSizeComboBox.ItemIndex(), -1);

    // The slider moves the model and the model's hint shows.
    f.LNGA[10] = QStringLiteral("Quality: %1");
    f.QualityComboBox.UserSelect(1);
    auto* slider = w.Widget<QSlider>(f.QualityTrackBar);
    SendKey(slider, Qt::Key_Left);
    EXPECT_EQ(f.QualityTrackBar.Position(), 7);
    EXPECT_EQ(slider->toolTip(), QStringLiteral("Quality: 7"));

    // Leaving the output box completes a name without extension.
    f.OutVideoFileBEdit.SetText(dir.filePath(QStringLiteral("result")));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w.view.WidgetOf(f.OutVideoFileBEdit), &focusOut);
    EXPECT_EQ(f.OutVideoFileBEdit.Text(), dir.filePath(QStringLiteral("result.webm")));
    // Switching to another window is no exit.
    f.OutVideoFileBEdit.SetText(dir.filePath(QStringLiteral("other")));
    QFocusEvent deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w.view.WidgetOf(f.OutVideoFileBEdit), &deactivate);
    EXPECT_EQ(f.OutVideoFileBEdit.Text(), dir.filePath(QStringLiteral("other")));

    // The tab click reaches the model; the proposal follows the page.
    w.Widget<QTabWidget>(f.VideoPageControl)->setCurrentIndex(1);
    EXPECT_EQ(f.VideoPageControl.ActivePageIndex(), 1);
    EXPECT_EQ(f.OutVideoFileBEdit.Text(), QString());

    // A disabled model button ignores a click even if its widget were clickable.
    int stops = 0;
    f.StopConvBitBtn.OnClick = [&](TControl*) { ++stops; };
    w.Widget<QPushButton>(f.StopConvBitBtn)->click();
    EXPECT_EQ(stops, 0);
    f.StopConvBitBtn.SetEnabled(true);
    w.Widget<QPushButton>(f.StopConvBitBtn)->click();
    EXPECT_EQ(stops, 1);
}

TEST(MainWindowViewInput, DropOnTheSourceBoxReachesTheFormsDropHandler)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("song.OPUS"));
    WriteFile(clip, "x");
    Window w;
    w.form.OutFormatComboBox.SetItemIndex(9);  // MP3
    auto* box = qobject_cast<TssDropFileEdit*>(w.view.WidgetOf(w.form.SourceFilenameEdit));
    ASSERT_NE(box, nullptr);
    Q_EMIT box->DropFile(box, clip, QPoint(3, 4));
    EXPECT_EQ(w.form.SourceFilenameEdit.Text(), clip);
    EXPECT_EQ(box->text(), clip);
    EXPECT_EQ(w.form.OutVideoFileBEdit.Text(), dir.filePath(QStringLiteral("song.mp3")));
}

TEST(MainWindowViewInput, AdditionLabelHoverClickAndContextMenu)
{
    Window w;
    QWidget* label = w.view.WidgetOf(w.form.AdditionLabel);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(label, &enter);
    EXPECT_TRUE(w.form.AdditionLabel.Underlined());
    EXPECT_TRUE(label->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    EXPECT_FALSE(label->font().underline());

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &release);
    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(label, &context);
    EXPECT_EQ(w.services.popups, 2);
}

TEST(MainWindowViewInput, TheStatusLineIsALinkToTheReasonOnlyAfterAFailure)
{
    QTemporaryDir dir;
    Window w;
    TMainForm& f = w.form;
    auto* label = w.Widget<QLabel>(f.InfoLabel);
    ASSERT_NE(label, nullptr);
    const QColor plain = label->palette().color(QPalette::Active, QPalette::WindowText);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);

    // Not a link yet: hovering and clicking do nothing.
    QApplication::sendEvent(label, &enter);
    EXPECT_FALSE(label->font().underline());
    QApplication::sendEvent(label, &release);
    EXPECT_TRUE(w.services.messages.isEmpty());
    EXPECT_NE(label->cursor().shape(), Qt::PointingHandCursor);
    QApplication::sendEvent(label, &leave);

    // A run whose tool is missing fails.
    f.ProgramDir = dir.path() + QLatin1Char('/');
    f.AppDataDir = dir.path() + QLatin1Char('/');
    f.LNGA[6] = QStringLiteral("No output");
    const QString source = dir.filePath(QStringLiteral("clip.avi"));
    WriteFile(source, "x");
    f.SourceFilenameEdit.UserType(source);
    f.OutFormatComboBox.UserSelect(0);
    f.ConvertBitBtn.UserClick();
    ASSERT_EQ(f.InfoLabel.Caption(), QStringLiteral("No output"));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_NE(label->palette().color(QPalette::Active, QPalette::WindowText), plain);
    EXPECT_EQ(label->toolTip(), f.InfoLabel.Hint());
    EXPECT_FALSE(f.InfoLabel.Hint().isEmpty());
    QApplication::sendEvent(label, &enter);
    EXPECT_TRUE(label->font().underline());
    EXPECT_TRUE(label->font().bold());
    QApplication::sendEvent(label, &leave);
    EXPECT_FALSE(label->font().underline());
    QApplication::sendEvent(label, &release);
    EXPECT_EQ(w.services.messages, QStringList{f.InfoLabel.Hint()});
}

TEST(MainWindowViewMenus, MenusRunTheModelsActions)
{
    Window w;
    TMainForm& f = w.form;
    QMenu* file = w.view.MenuOf(f.N1);
    QMenu* view = w.view.MenuOf(f.ViewMenuItem);
    QMenu* help = w.view.MenuOf(f.N2);
    ASSERT_TRUE(file && view && help);
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_TRUE(file->actions()[1]->isSeparator());
    EXPECT_EQ(help->actions().size(), 6);
    EXPECT_EQ(help->actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));

    // Opening a menu runs the actions' updates: Open follows the Open button.
    f.OpenBitBtn.SetEnabled(false);
    Q_EMIT file->aboutToShow();
    EXPECT_FALSE(file->actions()[0]->isEnabled());
    f.OpenBitBtn.SetEnabled(true);
    Q_EMIT file->aboutToShow();
    EXPECT_TRUE(file->actions()[0]->isEnabled());

    file->actions()[2]->trigger();
    EXPECT_EQ(w.services.closeRequests, 1);

    // Opening the View menu runs its click handler; the sound entry shows the model's tick.
    int viewClicks = 0;
    f.ViewMenuItem.OnClick = [&](TControl*) { ++viewClicks; };
    Q_EMIT view->aboutToShow();
    EXPECT_EQ(viewClicks, 1);
    QAction* sound = view->actions()[1];
    EXPECT_TRUE(sound->isChecked());
    sound->trigger();
    EXPECT_FALSE(f.SoundEnabled);
    Q_EMIT view->aboutToShow();
    EXPECT_FALSE(sound->isChecked());

    // Entries added to the Language item later appear as its submenu.
    auto english = std::make_unique<TMenuItem>(f.Host, QStringLiteral("English"));
    english->SetCaption(QStringLiteral("English"));
    int picked = 0;
    english->OnClick = [&](TControl*) { ++picked; };
    f.LanguageMenuItem->Add(std::move(english));
    QMenu* languages = view->actions()[0]->menu();
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->actions().size(), 1);
    languages->actions()[0]->trigger();
    EXPECT_EQ(picked, 1);
}

TEST(MainWindowViewClose, ClosingIsRefusedWhileAConversionRuns)
{
    Window w;
    w.view.show();
    w.form.StopConvBitBtn.SetEnabled(true);
    EXPECT_FALSE(w.view.close());
    EXPECT_TRUE(w.view.isVisible());
    w.form.StopConvBitBtn.SetEnabled(false);
    EXPECT_TRUE(w.view.close());
}

TEST(MainWindowViewDevices, DeviceButtonsMirrorThePanel)
{
    QTemporaryDir dir;
    const QString glyph = dir.filePath(QStringLiteral("device.bmp"));
    QImage strip(4 * 48, 48, QImage::Format_RGB32);
    strip.fill(Qt::darkCyan);
    ASSERT_TRUE(strip.save(glyph));

    Window w;
    TMainForm& f = w.form;
    std::vector<int> clicked;
    for (int i = 0; i < 8; ++i) {
        auto b = std::make_unique<TSpeedButton>(f.Host, QStringLiteral("Device%1").arg(i),
                                                QRect(2 + i * 70, 2, 66, 66));
        b->SetGlyphFile(glyph);
        b->SetNumGlyphs(4);
        b->SetGroupIndex(1);
        b->SetTag(100 + i);
        b->SetHint(QStringLiteral("Device %1").arg(i));
        TSpeedButton* raw = b.get();
        b->OnClick = [&clicked, &f, raw](TControl*) {
            clicked.push_back(raw->Tag());
            for (auto& other : f.DeviceButtonsPanel.Buttons)
                other->SetDown(other.get() == raw);
        };
        f.DeviceButtonsPanel.Buttons.push_back(std::move(b));
    }
    f.DeviceButtonsPanel.Buttons[2]->SetDown(true);
    f.DeviceButtonsPanel.SetWidth(8 * 70 + 4);
    QCoreApplication::processEvents();

    QToolButton* third = w.view.DeviceButtonOf(*f.DeviceButtonsPanel.Buttons[2]);
    QToolButton* fifth = w.view.DeviceButtonOf(*f.DeviceButtonsPanel.Buttons[4]);
    ASSERT_TRUE(third && fifth);
    EXPECT_TRUE(third->isChecked());
    EXPECT_FALSE(fifth->isChecked());
    EXPECT_EQ(qobject_cast<DeviceButtonView*>(third)->ShownImage(), DeviceButtonView::Down);
    EXPECT_EQ(qobject_cast<DeviceButtonView*>(fifth)->ShownImage(), DeviceButtonView::Up);
    EXPECT_EQ(fifth->toolTip(), QStringLiteral("Device 4"));
    EXPECT_EQ(third->geometry(), QRect(142, 2, 66, 66));

    fifth->click();
    EXPECT_EQ(clicked, std::vector<int>{104});
    EXPECT_TRUE(fifth->isChecked());
    EXPECT_FALSE(third->isChecked());

    // The model may leave every button up.
    f.DeviceButtonsPanel.Buttons[4]->SetDown(false);
    EXPECT_FALSE(fifth->isChecked());

    f.DeviceButtonsPanel.Buttons[1]->SetEnabled(false);
    EXPECT_FALSE(w.view.DeviceButtonOf(*f.DeviceButtonsPanel.Buttons[1])->isEnabled());
    EXPECT_EQ(qobject_cast<DeviceButtonView*>(w.view.DeviceButtonOf(*f.DeviceButtonsPanel.Buttons[1]))->ShownImage(),
              DeviceButtonView::Disabled);

    // The strip scrolls the wider panel in steps, within its range.
    PageScrollerView* strip2 = w.view.DeviceStrip();
    EXPECT_FALSE(strip2->LeftButton()->isVisibleTo(strip2));
    EXPECT_TRUE(strip2->RightButton()->isVisibleTo(strip2));
    strip2->RightButton()->click();
    EXPECT_EQ(f.DevicePageScroller.Position(), PageScrollerView::kStep);
    EXPECT_EQ(strip2->Panel()->x(), -PageScrollerView::kStep);
    f.DevicePageScroller.SetPosition(10000);
    EXPECT_EQ(strip2->Position(), f.DevicePageScroller.MaxPosition());
    EXPECT_FALSE(strip2->RightButton()->isVisibleTo(strip2));

    // A new set of buttons replaces the old widgets.
    f.DeviceButtonsPanel.Buttons.resize(1);
    f.DeviceButtonsPanel.SetWidth(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(strip2->Panel()->findChildren<QToolButton*>().size(), 1u);
}

namespace {

// What does not fit: labels narrower than their text or overlapping a neighbour, buttons,
// tabs and list items too narrow for their text.
QStringList CutOffTexts(Window& w)
{
    ShowEverything(w.form);
    w.view.show();
    QCoreApplication::processEvents();
    QStringList faults;
    const QRect client = w.view.ClientArea()->rect();
    const QList<QLabel*> labels = w.view.ClientArea()->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (!label->isVisibleTo(w.view.ClientArea()) || label->text().isEmpty())
            continue;
        const QString name = label->objectName();
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        if (textWidth > label->width())
            faults << name + QStringLiteral(": text wider than the label");
        QWidget* parent = label->parentWidget();
        if (!parent->rect().contains(label->geometry()))
            faults << name + QStringLiteral(": outside its parent");
        if (parent == w.view.ClientArea() && !client.contains(label->geometry()))
            faults << name + QStringLiteral(": outside the window");
        for (QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling == label || !sibling->isVisibleTo(parent) ||
                sibling->objectName() == QLatin1String("Image1"))
                continue;
            if (sibling->geometry().intersects(label->geometry()))
                faults << name + QStringLiteral(" overlaps ") + sibling->objectName();
        }
    }
    for (QPushButton* button : w.view.ClientArea()->findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const int margin = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        if (button->fontMetrics().horizontalAdvance(text) + icon + margin > button->width())
            faults << button->objectName() + QStringLiteral(": caption does not fit");
    }
    auto* tabs = qobject_cast<QTabWidget*>(w.view.WidgetOf(w.form.VideoPageControl));
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect tab = tabs->tabBar()->tabRect(i);
        if (tabs->tabBar()->fontMetrics().horizontalAdvance(tabs->tabText(i)) > tab.width() ||
            tab.right() >= tabs->width())
            faults << QStringLiteral("tab %1 does not fit").arg(i);
    }
    for (QComboBox* combo : w.view.ClientArea()->findChildren<QComboBox*>()) {
        const int room = combo->width() - 24;  // frame and arrow
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > room)
                faults << combo->objectName() + QStringLiteral(": item ") + combo->itemText(i);
        }
    }
    return faults;
}

}  // namespace

TEST(MainWindowViewTexts, NothingIsCutOffWithTheBuiltInTexts)
{
    Window w;
    const QStringList faults = CutOffTexts(w);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("; ")).toStdString();
}

TEST(MainWindowViewTexts, NothingIsCutOffWithTheShippedLanguages)
{
    for (const QString& name : {QStringLiteral("English"), QStringLiteral("Russian")}) {
        if (!QFileInfo::exists(LanguageFile(name))) {
            ADD_FAILURE() << "missing language file " << name.toStdString();
            continue;
        }
        Window w;
        ASSERT_TRUE(ApplyLanguageFile(w.form, LanguageFile(name))) << name.toStdString();
        // The longest status texts too.
        for (int slot : {4, 5, 6, 7, 8}) {
            w.form.SetInfoText(w.form.LNGA[slot - 1] + (slot == 4 ? QStringLiteral(" 100%") : QString()));
            const QStringList faults = CutOffTexts(w);
            EXPECT_TRUE(faults.isEmpty()) << name.toStdString() << " with status slot " << slot << ": "
                                          << faults.join(QStringLiteral("; ")).toStdString();
        }
    }
}

// Writes the window in both languages as pictures beside the test program, for a look.
TEST(MainWindowViewTexts, RendersInBothLanguages)
{
    for (const QString& name : {QStringLiteral("English"), QStringLiteral("Russian")}) {
        Window w;
        if (QFileInfo::exists(LanguageFile(name)))
            ApplyLanguageFile(w.form, LanguageFile(name));
        w.form.SourceFilenameEditChange(&w.form.SourceFilenameEdit);
        w.form.OutFormatComboBox.SetItemIndex(0);
        w.form.QualityComboBox.SetItemIndex(1);
        w.form.QualityComboBox.OnChange(&w.form.QualityComboBox);
        w.form.EnableOutBox(true);
        w.form.SetInfoText(w.form.LNGA[7]);
        w.form.ProgressBar.SetPosition(100);
        w.view.show();
        QCoreApplication::processEvents();
        const QImage shot = w.view.grab().toImage();
        EXPECT_EQ(shot.size(), w.view.size());
        const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/main-window-") +
                             name + QStringLiteral(".png");
        EXPECT_TRUE(shot.save(file)) << file.toStdString();
    }
}

namespace {

struct ConversionSetup {
    QTemporaryDir programDir;
    QTemporaryDir appData;
    QTemporaryDir work;
    Window w;

    bool Prepare()
    {
        if (!QFile::link(FfmpegPath(), programDir.filePath(QStringLiteral("ffmpeg"))))
            return false;
        w.form.ProgramDir = programDir.path() + QLatin1Char('/');
        w.form.SoundDir = w.form.ProgramDir + QStringLiteral("Sounds/");
        w.form.AppDataDir = appData.path() + QLatin1Char('/');
        if (!ApplyLanguageFile(w.form, LanguageFile(QStringLiteral("English"))))
            return false;
        w.form.SourceFilenameEditChange(&w.form.SourceFilenameEdit);
        w.view.show();
        return true;
    }
    void ChooseSource(const QString& path)
    {
        auto* box = w.Widget<QLineEdit>(w.form.SourceFilenameEdit);
        box->selectAll();
        TypeText(box, path);
    }
    void ChooseFormat(const QString& format)
    {
        auto* combo = w.Widget<QComboBox>(w.form.OutFormatComboBox);
        const int index = combo->findText(format);
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
};

}  // namespace

TEST(MainWindowViewConversion, ConvertsAClipEndToEnd)
{
    ConversionSetup s;
    ASSERT_TRUE(s.Prepare());
    const QString clip = s.work.filePath(QStringLiteral("my clip.mov"));
    ASSERT_TRUE(MakeClip(clip, 1.0));
    s.ChooseSource(clip);
    s.ChooseFormat(QStringLiteral("MP4"));
    const QString output = s.work.filePath(QStringLiteral("my clip.mp4"));
    ASSERT_EQ(s.w.form.OutVideoFileBEdit.Text(), output);

    s.w.Widget<QPushButton>(s.w.form.ConvertBitBtn)->click();

    EXPECT_TRUE(QFileInfo(output).size() > 0);
    EXPECT_FALSE(s.w.form.LNGA[7].isEmpty());
    EXPECT_EQ(s.w.Widget<QLabel>(s.w.form.InfoLabel)->text(), s.w.form.LNGA[7]);
    EXPECT_EQ(s.w.Widget<QProgressBar>(s.w.form.ProgressBar)->value(), 100);
    EXPECT_TRUE(s.w.view.WidgetOf(s.w.form.ConvertBitBtn)->isEnabled());
    EXPECT_FALSE(s.w.view.WidgetOf(s.w.form.StopConvBitBtn)->isEnabled());
    EXPECT_TRUE(s.w.services.errors.isEmpty());
}

TEST(MainWindowViewConversion, StopDuringARunLeavesNoOutput)
{
    ConversionSetup s;
    ASSERT_TRUE(s.Prepare());
    const QString clip = s.work.filePath(QStringLiteral("long.mkv"));
    ASSERT_TRUE(MakeClip(clip, 20.0, true, true, QStringLiteral("640x360")));
    s.ChooseSource(clip);
    s.ChooseFormat(QStringLiteral("WEBM"));
    const QString output = s.work.filePath(QStringLiteral("long.webm"));
    ASSERT_EQ(s.w.form.OutVideoFileBEdit.Text(), output);

    auto* stop = s.w.Widget<QPushButton>(s.w.form.StopConvBitBtn);
    bool closeRefused = false;
    bool stopWasEnabled = false;
    QTimer::singleShot(1500, stop, [&] {
        // While the tool runs the window holds: closing is refused.
        closeRefused = !s.w.view.close();
        stopWasEnabled = stop->isEnabled();
        stop->click();
    });
    s.w.Widget<QPushButton>(s.w.form.ConvertBitBtn)->click();

    EXPECT_TRUE(stopWasEnabled);
    EXPECT_TRUE(closeRefused);
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_EQ(s.w.Widget<QLabel>(s.w.form.InfoLabel)->text(), s.w.form.LNGA[4]);
    EXPECT_FALSE(stop->isEnabled());
}
