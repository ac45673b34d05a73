// The proposed output name, the events that propose it, the two file dialogs and the buttons
// that open the output file and its folder.
#include "window/MainF.h"

#include "common/Convert.h"
#include "platform/Shell.h"
#include "presets/DevicePresets.h"
#include "window/OutputNaming.h"

#include <QFileInfo>

namespace ondrava {

QString TMainForm::MakeOutFileName(const QString& sourceName) const
{
    const int page = VideoPageControl.ActivePageIndex();
    if (page == 0 && OutFormatComboBox.ItemIndex() >= 0)
        return ProposeFormatOutput(sourceName, GetOutFormatExt());
    if (page == 1) {
        // An ID the catalogue does not hold proposes nothing, as no device does.
        if (const TDevPreset* device = SelectedDevice())
            return ProposeDeviceOutput(sourceName, device->Name, device->Extension);
    }
    return QString();
}

void TMainForm::OutFormatComboBoxChange(TControl*)
{
    OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
    EnableOutBox(true);
    UpdateCaption();
}

void TMainForm::VideoPageControlChange(TControl*)
{
    UpdateCaption();
    OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
    SourceFilenameEditChange(&SourceFilenameEdit);
}

void TMainForm::OpenBitBtnClick(TControl*)
{
    if (!Services.ExecuteOpenDialog(SourceOpenDialog))
        return;
    SourceFilenameEdit.SetText(SourceOpenDialog.FileName);
    OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
    SourceFilenameEditChange(&SourceFilenameEdit);
}

void TMainForm::SourceFilenameEditDropFile(TControl*, const QString& fileName, const QPoint&)
{
    if (!IsAcceptedDropFile(fileName))
        return;
    SourceFilenameEdit.SetText(fileName);
    OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
    SourceFilenameEditChange(&SourceFilenameEdit);
}

void TMainForm::OutVideoFileBEditExit(TControl*)
{
    const QString text = OutVideoFileBEdit.Text();
    if (!text.isEmpty() && ExtractFileExt(text).isEmpty() && OutFormatComboBox.ItemIndex() >= 0)
        OutVideoFileBEdit.SetText(text + QLatin1Char('.') + GetOutFormatExt());
    EnableOutBox(true);
}

void TMainForm::OpenOutSpeedButtonClick(TControl*)
{
    const QString output = OutVideoFileBEdit.Text();
    OutOpenDialog.InitialDir = ExtractFileDir(output);
    OutOpenDialog.FileName = ExtractFileName(output);
    // The chosen format's own entry; the audio group when none is chosen.
    OutOpenDialog.FilterIndex = OutFormatComboBox.ItemIndex() + 4;
    OutOpenDialog.DefaultExt = GetOutFormatExt();
    if (Services.ExecuteOpenDialog(OutOpenDialog))
        OutVideoFileBEdit.SetText(OutOpenDialog.FileName);
}

void TMainForm::OpenFileBitBtnClick(TControl*)
{
    ShellOpen(OutVideoFileBEdit.Text(), QString());
}

void TMainForm::OpenFolderBitBtnClick(TControl*)
{
    const QString output = OutVideoFileBEdit.Text();
    if (!output.isEmpty() && QFileInfo(output).isFile()) {
        CurrentShell().ShowInFolder(QFileInfo(output).absoluteFilePath());
        return;
    }
    ShellOpen(FolderToOpen(output), QString());
}

}  // namespace ondrava
