// The window's rules on the model: enabling by source and format, remembered items, the
// quality rule, hints, caption, popup, close refusal and menu actions.
#include "WindowFixture.h"

#include <QDir>

namespace ondrava::test {
namespace {

class MainFRulesTest : public WindowFixture {};

TEST_F(MainFRulesTest, OutputControlsFollowWhetherTheSourceIsAnExistingFile)
{
    form->SourceFilenameEditChange();
    EXPECT_FALSE(form->ConvertBitBtn.Enabled());
    EXPECT_FALSE(form->OutVideoFileBEdit.Enabled());
    EXPECT_FALSE(form->OutFormatComboBox.Enabled());
    EXPECT_FALSE(form->VideoPageControl.Enabled());
    EXPECT_TRUE(form->SourceFilenameEdit.Enabled());
    EXPECT_TRUE(form->OpenBitBtn.Enabled());

    form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("my clip ü.avi")));
    EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    EXPECT_TRUE(form->OutVideoFileBEdit.Enabled());

    // A folder is no source, whatever its name looks like.
    QDir(dir.path()).mkdir(QStringLiteral("folder.avi"));
    form->SourceFilenameEdit.UserType(Path(QStringLiteral("folder.avi")));
    EXPECT_FALSE(form->ConvertBitBtn.Enabled());
    EXPECT_FALSE(form->OutFormatComboBox.Enabled());
}

struct FormatRow {
    const char* format;
    int sizeIndex;
    bool sizeVisible, sizeEnabled;
    int qualityIndex;
    bool qualityEnabled, sliderVisible, keepProportionsEnabled;
};

TEST_F(MainFRulesTest, EachFormatClassSetsSizeQualityAndProportions)
{
    const FormatRow rows[] = {
        {"MP4", 7, true, true, 1, true, true, true},
        {"WEBM", 7, true, true, 1, true, true, true},
        {"3GP", 1, true, false, 1, true, true, false},
        {"MP3", 0, false, false, 1, true, true, true},
        {"AAC", 0, false, false, 1, true, true, true},
        {"FLAC", 0, false, false, 0, false, false, true},
    };
    for (const FormatRow& row : rows) {
        SCOPED_TRACE(row.format);
        form = std::make_unique<TMainForm>(services);
        form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("a.avi")));
        form->OutSizeComboBox.UserSelect(7);  // 1280x720
        form->QualityComboBox.UserSelect(1);  // other
        ChooseFormat(QString::fromLatin1(row.format));

        EXPECT_EQ(form->OutSizeComboBox.ItemIndex(), row.sizeIndex);
        EXPECT_EQ(form->OutSizeComboBox.Visible(), row.sizeVisible);
        EXPECT_EQ(form->OutSizeComboBox.Enabled(), row.sizeEnabled);
        EXPECT_EQ(form->OutSizeLabel.Visible(), row.sizeVisible);
        EXPECT_EQ(form->OutSizeLabel.Enabled(), row.sizeEnabled);
        EXPECT_EQ(form->QualityComboBox.ItemIndex(), row.qualityIndex);
        EXPECT_EQ(form->QualityComboBox.Enabled(), row.qualityEnabled);
        EXPECT_EQ(form->QualityTrackBar.Visible(), row.sliderVisible);
        EXPECT_EQ(form->QualityTrackBar.Enabled(), row.sliderVisible);
        EXPECT_EQ(form->LowQLabel.Visible(), row.sliderVisible);
        EXPECT_EQ(form->SameAspectRationPMenu.Enabled(), row.keepProportionsEnabled);
        EXPECT_TRUE(form->ConvertBitBtn.Enabled());
    }
}

TEST_F(MainFRulesTest, ForcedItemsComeBackWithTheNextFormatThatAllowsThem)
{
    form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("a.avi")));

    // A size item survives 3GP, even when the rule runs again meanwhile.
    form->OutSizeComboBox.UserSelect(7);
    ChooseFormat(QStringLiteral("3GP"));
    form->EnableOutBox(true);
    form->EnableOutBox(false);
    form->EnableOutBox(true);
    EXPECT_EQ(form->OutSizeComboBox.Text(), QStringLiteral("176x144"));
    ChooseFormat(QStringLiteral("MP4"));
    EXPECT_EQ(form->OutSizeComboBox.Text(), QStringLiteral("1280x720"));
    EXPECT_TRUE(form->OutSizeComboBox.Enabled());

    // A typed size is no item and is not remembered.
    form->OutSizeComboBox.UserType(QStringLiteral("800x600"));
    ChooseFormat(QStringLiteral("3GP"));
    ChooseFormat(QStringLiteral("MP4"));
    EXPECT_EQ(form->OutSizeComboBox.Text(), QStringLiteral("176x144"));

    // The quality item survives FLAC.
    form->QualityComboBox.UserSelect(1);
    ChooseFormat(QStringLiteral("FLAC"));
    EXPECT_EQ(form->QualityComboBox.ItemIndex(), 0);
    EXPECT_FALSE(form->QualityTrackBar.Visible());
    ChooseFormat(QStringLiteral("AAC"));
    EXPECT_EQ(form->QualityComboBox.ItemIndex(), 1);
    EXPECT_TRUE(form->QualityTrackBar.Visible());
    EXPECT_TRUE(form->QualityTrackBar.Enabled());
}

TEST_F(MainFRulesTest, QualityRuleShowsTheSliderOnlyForCustomQuality)
{
    form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("a.avi")));
    ChooseFormat(QStringLiteral("MP4"));
    EXPECT_FALSE(form->QualityTrackBar.Visible());
    form->QualityComboBox.UserSelect(1);
    EXPECT_TRUE(form->QualityTrackBar.Visible());
    EXPECT_TRUE(form->HiQLabel.Enabled());
    // During a run the slider shows but is disabled with the format list.
    form->EnableOutBox(false);
    EXPECT_TRUE(form->QualityTrackBar.Visible());
    EXPECT_FALSE(form->QualityTrackBar.Enabled());
    form->QualityComboBox.UserSelect(0);
    EXPECT_FALSE(form->QualityTrackBar.Visible());
}

TEST_F(MainFRulesTest, DeviceButtonsFollowTheRuleAndTheChosenOneScrollsIntoViewOnce)
{
    for (const auto& [tag, left] : {std::pair{3, 2}, std::pair{7, 30}}) {
        auto button = std::make_unique<TSpeedButton>(form->Host, QStringLiteral("b%1").arg(tag),
                                                     QRect(left, 0, 64, 64));
        button->SetTag(tag);
        form->DeviceButtonsPanel.Buttons.push_back(std::move(button));
    }
    form->SelectedDeviceID = 7;
    form->EnableOutBox(false);
    EXPECT_EQ(form->DevicePageScroller.Position(), 0);
    EXPECT_FALSE(form->DeviceButtonsPanel.Buttons[0]->Enabled());
    form->EnableOutBox(true);
    EXPECT_TRUE(form->DeviceButtonsPanel.Buttons[0]->Enabled());
    EXPECT_FALSE(form->DeviceButtonsPanel.Buttons[0]->Down());
    EXPECT_TRUE(form->DeviceButtonsPanel.Buttons[1]->Down());
    EXPECT_EQ(form->DevicePageScroller.Position(), 28);
    form->DevicePageScroller.SetPosition(0);
    form->EnableOutBox(true);
    EXPECT_EQ(form->DevicePageScroller.Position(), 0);
}

TEST_F(MainFRulesTest, HintsBreakPathsLongerThanFortyCharacters)
{
    LoadTexts();
    const QString forty = QStringLiteral("/") + QString(34, QLatin1Char('a')) + QStringLiteral(".avi0");
    ASSERT_EQ(forty.size(), 40);
    const QString fortyOne = QStringLiteral("/dir/") + QString(32, QLatin1Char('b')) + QStringLiteral(".avi");
    ASSERT_EQ(fortyOne.size(), 41);
    const QString longName = QString(32, QLatin1Char('b')) + QStringLiteral(".avi");

    form->SourceFilenameEdit.UserType(forty);
    EXPECT_EQ(form->SourceFilenameEdit.Hint(), QStringLiteral("Pick a file"));
    form->SourceFilenameEdit.UserType(fortyOne);
    EXPECT_EQ(form->SourceFilenameEdit.Hint(), QStringLiteral("Pick a file: \r\n") + longName);

    form->OutVideoFileBEdit.UserType(forty);
    EXPECT_EQ(form->OutVideoFileBEdit.Hint(), QStringLiteral("Output file"));
    form->OutVideoFileBEdit.UserType(fortyOne);
    EXPECT_EQ(form->OutVideoFileBEdit.Hint(), QStringLiteral("Output file: \r\n") + longName);

    form->LNGA[10] = QStringLiteral("Quality: %1");
    form->QualityTrackBar.UserMove(3);
    EXPECT_EQ(form->QualityTrackBar.Hint(), QStringLiteral("Quality: 3"));
}

TEST_F(MainFRulesTest, HintsAreEmptyWithoutALanguage)
{
    form->SourceFilenameEdit.UserType(QStringLiteral("/x/") + QString(50, QLatin1Char('c')));
    EXPECT_EQ(form->SourceFilenameEdit.Hint(), QStringLiteral(": \r\n") + QString(50, QLatin1Char('c')));
}

TEST_F(MainFRulesTest, CaptionNamesSourceAndTarget)
{
    LoadDevices();
    struct Row {
        const char* source;
        int page;
        const char* format;  // nullptr: none chosen
        int device;
        const char* caption;
    };
    const Row rows[] = {
        {"/Clips/talk.avi", 0, "MP4", 0, "Ondrava  (AVI -> MP4)"},
        {"/Clips/Talk.Mkv", 0, "FLAC", 0, "Ondrava  (MKV -> FLAC)"},
        {"/Clips/talk.avi", 0, nullptr, 0, "Ondrava  (AVI -> )"},
        {"/Clips/talk", 0, "MP4", 0, "Ondrava"},
        {"", 0, "MP4", 0, "Ondrava"},
        {"/Clips/talk.avi", 1, "MP4", 5, "Ondrava  (AVI -> Pocket Phone [mp4])"},
        // A device the catalogue does not hold leaves the caption as it was.
        {"/Clips/talk.avi", 1, "MP4", 77, "previous"},
        {"/Clips/talk.avi", 1, "MP4", 0, "previous"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        form->SelectedDeviceID = row.device;
        form->VideoPageControl.SetActivePageIndex(row.page);
        form->OutFormatComboBox.SetItemIndex(row.format ? FormatIndex(QString::fromLatin1(row.format)) : -1);
        form->FormControl.SetCaption(QStringLiteral("previous"));
        form->SourceFilenameEdit.SetText(QString::fromUtf8(row.source));
        form->UpdateCaption();
        EXPECT_EQ(form->Caption(), QString::fromUtf8(row.caption));
    }
}

TEST_F(MainFRulesTest, PopupItemsFollowTheFormat)
{
    struct Row {
        const char* format;
        bool formatListEnabled;
        bool noSoundEnabled, noSoundChecked, keepEnabled;
    };
    const Row rows[] = {
        {"MP3", true, false, false, false},
        {"FLAC", true, false, false, false},
        {"3GP", true, true, true, false},  // EnableOutBox disabled keep-proportions
        {"MP4", true, true, true, true},
        {"MP3", false, true, true, true},  // a disabled list counts as another format
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format);
        form = std::make_unique<TMainForm>(services);
        form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("a.avi")));
        ChooseFormat(QString::fromLatin1(row.format));
        if (!row.formatListEnabled)
            form->EnableOutBox(false);
        form->NoSoundPopupMenu.SetChecked(true);
        form->AdditionLabelClick();
        EXPECT_EQ(form->NoSoundPopupMenu.Enabled(), row.noSoundEnabled);
        EXPECT_EQ(form->NoSoundPopupMenu.Checked(), row.noSoundChecked);
        EXPECT_EQ(form->SameAspectRationPMenu.Enabled(), row.keepEnabled);
    }
    EXPECT_GE(services.popups, 5);
}

TEST_F(MainFRulesTest, ANewSourceUnticksNoSoundAndClearsTheStatus)
{
    form->NoSoundPopupMenu.UserClick();
    EXPECT_TRUE(form->NoSoundPopupMenu.Checked());
    form->SetInfoText(QStringLiteral("done"));
    form->SourceFilenameEdit.UserType(MakeFile(QStringLiteral("a.avi")));
    EXPECT_FALSE(form->NoSoundPopupMenu.Checked());
    EXPECT_TRUE(form->InfoLabel.Caption().isEmpty());
}

TEST_F(MainFRulesTest, ClosingIsRefusedWhileAConversionRuns)
{
    bool canClose = true;
    form->StopConvBitBtn.SetEnabled(true);
    form->FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    form->StopConvBitBtn.SetEnabled(false);
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    form->ExitAction.Execute();
    EXPECT_EQ(services.closeRequests, 1);
}

TEST_F(MainFRulesTest, MenuActionsFollowTheirControls)
{
    form->EnableSourceBox(false);
    form->OpenSourceAction.Update();
    EXPECT_FALSE(form->OpenSourceAction.Enabled());
    form->EnableSourceBox(true);
    form->OpenSourceAction.Update();
    EXPECT_TRUE(form->OpenSourceAction.Enabled());

    const bool sound = form->SoundEnabled;
    form->SoundAction.Execute();
    form->SoundAction.Update();
    EXPECT_EQ(form->SoundEnabled, !sound);
    EXPECT_EQ(form->SoundAction.Checked(), !sound);

    // The File menu's Open runs the source dialog.
    form->N1.Items.front()->UserClick();
    EXPECT_EQ(services.dialogsShown.size(), 1u);
    form->AboutAction.Execute();
    EXPECT_EQ(services.abouts, 1);
}

// A top-level menu without a title would vanish from the menu bar: it shows its built-in one.
TEST_F(MainFRulesTest, MenusLeftWithoutTitleShowTheirBuiltInTitle)
{
    const QString builtIn[] = {form->N1.Caption(), form->ViewMenuItem.Caption(), form->N2.Caption()};
    TMenuItem* menus[] = {&form->N1, &form->ViewMenuItem, &form->N2};
    for (int i = 0; i < 3; ++i) {
        menus[i]->SetCaption(QStringLiteral("Menu %1").arg(i));
        EXPECT_EQ(form->ShownMenuTitle(*menus[i]), QStringLiteral("Menu %1").arg(i));
        menus[i]->SetCaption(QString());
        EXPECT_EQ(form->ShownMenuTitle(*menus[i]), builtIn[i]);
        EXPECT_FALSE(builtIn[i].isEmpty());
    }
}

}  // namespace
}  // namespace ondrava::test
