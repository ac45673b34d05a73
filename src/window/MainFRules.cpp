// The window's enabling rules, hints and caption.
#include "window/MainF.h"

#include "common/Convert.h"
#include "common/extFunc.h"
#include "presets/DevicePresets.h"
#include "window/OutputNaming.h"

#include <QFileInfo>

namespace ondrava {

namespace {

enum class FormatClass { Video, Phone3gp, Audio };

FormatClass ClassOf(const QString& formatText)
{
    if (formatText == QLatin1String("3GP"))
        return FormatClass::Phone3gp;
    if (formatText == QLatin1String("MP3") || formatText == QLatin1String("AAC") ||
        formatText == QLatin1String("FLAC"))
        return FormatClass::Audio;
    return FormatClass::Video;
}

// Long paths do not fit a tooltip line: their file name goes on a line of its own.
QString PathHint(const QString& baseHint, const QString& path)
{
    if (path.size() <= 40)
        return baseHint;
    return baseHint + QStringLiteral(": \r\n") + ExtractFileName(path);
}

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

}  // namespace

QString TMainForm::GetOutFormatExt() const
{
    if (OutFormatComboBox.ItemIndex() < 0)
        return QString();
    QString ext = AsciiLower(OutFormatComboBox.Text());
    const qsizetype blank = ext.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        ext.truncate(blank);
    return ext;
}

void TMainForm::EnableOutBox(bool value)
{
    // A focus change or any other event handled during a run must not bring the run's inputs back.
    if (m_converting)
        value = false;
    const QString format = OutFormatComboBox.Text();
    const FormatClass formatClass = ClassOf(format);

    OutFormatComboBox.SetEnabled(value);
    SameAspectRationPMenu.SetEnabled(true);

    switch (formatClass) {
    case FormatClass::Phone3gp:
        // 3GP has one size; the user's item comes back with the next video format.
        if (OutSizeComboBox.ItemIndex() != 1)
            OutSizeComboBox.SetTag(OutSizeComboBox.ItemIndex());
        OutSizeComboBox.SetItemIndex(1);
        OutSizeComboBox.SetVisible(true);
        OutSizeComboBox.SetEnabled(false);
        SameAspectRationPMenu.SetEnabled(false);
        break;
    case FormatClass::Audio:
        OutSizeComboBox.SetItemIndex(0);
        OutSizeComboBox.SetEnabled(false);
        OutSizeComboBox.SetVisible(false);
        break;
    case FormatClass::Video:
        OutSizeComboBox.SetEnabled(value);
        OutSizeComboBox.SetVisible(true);
        if (OutSizeComboBox.Tag() >= 0) {
            OutSizeComboBox.SetItemIndex(OutSizeComboBox.Tag());
            OutSizeComboBox.SetTag(-1);
        }
        break;
    }

    UpdateOpenButtons(value);

    if (format == QLatin1String("FLAC")) {
        // Lossless: no quality to choose; the user's item comes back with the next format.
        QualityComboBox.SetEnabled(false);
        if (QualityComboBox.ItemIndex() != 0) {
            QualityComboBox.SetTag(QualityComboBox.ItemIndex());
            QualityComboBox.SetItemIndex(0);
        }
    } else {
        if (QualityComboBox.Tag() >= 0 && QualityComboBox.Tag() != QualityComboBox.ItemIndex()) {
            QualityComboBox.SetItemIndex(QualityComboBox.Tag());
            QualityComboBox.SetTag(-1);
        }
        QualityComboBox.SetEnabled(value);
    }

    OutVideoFileBEdit.SetEnabled(value);
    OpenOutSpeedButton.SetEnabled(value);
    ConvertBitBtn.SetEnabled(value);
    VideoPageControl.SetEnabled(value);
    FormatTabSheet.SetEnabled(value);
    DeviceButtonsPanel.SetEnabled(value);

    int scrollTarget = 0;
    for (const auto& button : DeviceButtonsPanel.Buttons) {
        button->SetEnabled(value);
        if (button->Tag() == SelectedDeviceID) {
            button->SetDown(true);
            scrollTarget = button->Left() - 2;
        }
    }
    // The chosen device is scrolled into view once, when the controls first come alive.
    if (value && isFirstEnableOutBox) {
        DevicePageScroller.SetPosition(scrollTarget);
        isFirstEnableOutBox = false;
    }

    OutFormatLabel.SetEnabled(value);
    OutSizeLabel.SetEnabled(OutSizeComboBox.Enabled());
    OutSizeLabel.SetVisible(OutSizeComboBox.Visible());
    QualityLabel.SetEnabled(value);
    LowQLabel.SetEnabled(value);
    HiQLabel.SetEnabled(value);
    OutFileLabel.SetEnabled(value);
    AdditionLabel.SetEnabled(value);

    QualityComboBoxChange(&QualityComboBox);
}

void TMainForm::UpdateOpenButtons(bool value)
{
    const QString output = OutVideoFileBEdit.Text();
    OpenFileBitBtn.SetEnabled(value && IsExistingFile(output));
    const QString folder = FolderToOpen(output);
    OpenFolderBitBtn.SetEnabled(value && !folder.isEmpty() && QFileInfo(folder).isDir());
}

void TMainForm::QualityComboBoxChange(TControl*)
{
    const int index = QualityComboBox.ItemIndex();
    if (index != 0 && index != 1)
        return;
    const bool custom = index == 1;
    const bool enabled = custom && OutFormatComboBox.Enabled();
    for (TControl* c : {static_cast<TControl*>(&QualityTrackBar), static_cast<TControl*>(&LowQLabel),
                        static_cast<TControl*>(&HiQLabel)}) {
        c->SetVisible(custom);
        c->SetEnabled(enabled);
    }
}

void TMainForm::QualityTrackBarChange(TControl*)
{
    QualityTrackBar.SetHint(FillPlaceholders(LNGA[10], QString::number(QualityTrackBar.Position())));
}

void TMainForm::SourceFilenameEditChange(TControl*)
{
    const QString source = SourceFilenameEdit.Text();
    EnableOutBox(IsExistingFile(source));
    SetInfoText(QString());
    UpdateCaption();
    NoSoundPopupMenu.SetChecked(false);
    SourceFilenameEdit.SetHint(PathHint(MainFormText(QStringLiteral("12012")), source));
}

void TMainForm::OutVideoFileBEditChange(TControl*)
{
    OutVideoFileBEdit.SetHint(
        PathHint(MainFormText(QStringLiteral("12081")), OutVideoFileBEdit.Text()));
}

void TMainForm::UpdateCaption()
{
    const QString source = SourceFilenameEdit.Text();
    const QString ext = ExtractFileExt(source);
    if (source.isEmpty() || ext.isEmpty()) {
        FormControl.SetCaption(kAppTitle);
        return;
    }
    const QString from = AsciiUpper(ext.mid(1));
    if (VideoPageControl.ActivePageIndex() == 0) {
        FormControl.SetCaption(kAppTitle + QStringLiteral("  (") + from + QStringLiteral(" -> ") +
                               AsciiUpper(GetOutFormatExt()) + QLatin1Char(')'));
        return;
    }
    // On the device page without a known device the caption stays as it was.
    if (const TDevPreset* device = SelectedDevice())
        FormControl.SetCaption(kAppTitle + QStringLiteral("  (") + from + QStringLiteral(" -> ") +
                               device->Name + QStringLiteral(" [") + device->Extension +
                               QStringLiteral("])"));
}

}  // namespace ondrava
