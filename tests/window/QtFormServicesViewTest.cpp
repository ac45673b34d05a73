// The desktop's form services: the file dialog set up from the window's dialog settings, the
// chosen name completed, the popup built from the model, closing and pumping.
#include "window/QtFormServices.h"

#include "window/MainF.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace ondrava;

TEST(QtFormServicesFilters, WindowsFilterBecomesQtNameFilters)
{
    NullFormServices none;
    TMainForm form(none);

    const QStringList source = QtFormServices::NameFilters(form.SourceOpenDialog.Filter);
    ASSERT_EQ(source.size(), 17);
    EXPECT_TRUE(source[0].startsWith(QStringLiteral("Video/Audio (mp4, flv,")));
    EXPECT_TRUE(source[0].endsWith(QStringLiteral("(*.mp4 *.flv *.mkv *.mpg *.avi *.mov *.wmv *.3gp *.webm "
                                                  "*.mp3 *.m4a *.wav *.aac *.opus *.flac *.ape *.m4v *.asf)")));
    EXPECT_EQ(source[3], QStringLiteral("Mpeg4 (*.mp4)"));
    EXPECT_EQ(source[15], QStringLiteral("APE (*.ape)"));
    // "All files" must show names without a dot too.
    EXPECT_EQ(source[16], QStringLiteral("All files (*.*) (*)"));

    const QStringList output = QtFormServices::NameFilters(form.OutOpenDialog.Filter);
    ASSERT_EQ(output.size(), 16);
    EXPECT_EQ(output[11], QStringLiteral("3GP (*.3gp)"));
    EXPECT_EQ(output[14], QStringLiteral("FLAC (*.flac)"));

    const struct {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"", {}},
        {"Text|*.txt|Dangling", {QStringLiteral("Text (*.txt)")}},
        {"Two|*.a; *.b;|Empty|", {QStringLiteral("Two (*.a *.b)"), QStringLiteral("Empty (*)")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtFormServices::NameFilters(QString::fromUtf8(c.filter)), c.expected) << c.filter;
}

TEST(QtFormServicesFilters, ChosenNameWithoutExtensionGetsTheDefault)
{
    const struct {
        const char* chosen;
        const char* defaultExt;
        const char* expected;
    } cases[] = {
        {"/out/result", "flac", "/out/result.flac"},
        {"/out/result.mp3", "flac", "/out/result.mp3"},
        {"/out.d/result", "mp4", "/out.d/result.mp4"},
        {"/out/result", "", "/out/result"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtFormServices::CompleteChosenName(QString::fromUtf8(c.chosen), QString::fromUtf8(c.defaultExt)),
                  QString::fromUtf8(c.expected))
            << c.chosen;
}

TEST(QtFormServicesDialog, DialogFollowsTheSettings)
{
    QTemporaryDir dir;
    NullFormServices none;
    TMainForm form(none);
    TOpenDialog settings = form.OutOpenDialog;
    settings.Title = QStringLiteral("Pick the output");
    settings.InitialDir = dir.path();
    settings.FileName = QStringLiteral("talk.3gp");
    settings.FilterIndex = 12;

    auto dialog = QtFormServices::MakeOpenDialog(settings, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Pick the output"));
    // The list shows the descriptions only, as the window's filter texts are written.
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("3GP"));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);

    for (int outOfRange : {0, 17, -3}) {
        settings.FilterIndex = outOfRange;
        EXPECT_TRUE(QtFormServices::MakeOpenDialog(settings, nullptr)->selectedNameFilter().startsWith(
            QStringLiteral("Video/AudioVideo (mp4,")))
            << outOfRange;
    }
}

TEST(QtFormServicesPopup, PopupShowsTheModelsItemsAfterItsPopupRule)
{
    QtFormServices services;
    TMainForm form(services);
    form.OutFormatComboBox.SetItemIndex(9);  // MP3
    form.NoSoundPopupMenu.SetChecked(true);

    services.PopupAt(form.AdditionPopupMenu, QPoint(10, 10));
    QMenu* popup = services.OpenPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 2);
    EXPECT_EQ(popup->actions()[0]->text(), form.NoSoundPopupMenu.Caption());
    // The popup rule ran first: no sound choice for an audio format.
    EXPECT_FALSE(popup->actions()[0]->isEnabled());
    EXPECT_FALSE(popup->actions()[0]->isChecked());
    EXPECT_FALSE(popup->actions()[1]->isEnabled());
    popup->close();

    form.OutFormatComboBox.SetItemIndex(0);  // MP4
    services.PopupAt(form.AdditionPopupMenu, QPoint(10, 10));
    popup = services.OpenPopup();
    ASSERT_NE(popup, nullptr);
    QAction* noSound = popup->actions()[0];
    EXPECT_TRUE(noSound->isEnabled());
    noSound->trigger();
    EXPECT_TRUE(form.NoSoundPopupMenu.Checked());
    EXPECT_TRUE(noSound->isChecked());
    noSound->trigger();
    EXPECT_FALSE(form.NoSoundPopupMenu.Checked());
    EXPECT_FALSE(noSound->isChecked());
}

TEST(QtFormServicesWindow, CloseAndProcessEvents)
{
    QWidget window;
    window.show();
    QtFormServices services(&window);
    bool fired = false;
    QTimer::singleShot(0, &window, [&] { fired = true; });
    services.ProcessEvents();
    EXPECT_TRUE(fired);
    services.CloseWindow();
    EXPECT_FALSE(window.isVisible());

    QtFormServices windowless;
    windowless.CloseWindow();  // nothing to close, nothing breaks
}
