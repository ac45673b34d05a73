// The device buttons: one picture button per preset in the scrolling strip of the device page.
#include "window/MainF.h"

#include "presets/DevicePicture.h"
#include "presets/DevicePresets.h"

namespace ondrava {

namespace {

constexpr int kButtonPitch = 78;  // 70 pixels of button and 8 between neighbours
constexpr int kButtonSize = 70;
constexpr int kDeviceGroup = 1;
constexpr int kScrollStep = 13;

}  // namespace

void TMainForm::CreateDeviceButtons()
{
    if (!DevicePresets)
        return;
    const int n = DevicePresets->Count();
    DeviceButtonsPanel.SetWidth(kButtonPitch * n);
    for (int i = 0; i < n; ++i) {
        const TDevPreset* device = DevicePresets->Device(i);
        if (!device)
            continue;
        auto button = std::make_unique<TSpeedButton>(Host, QStringLiteral("DeviceButton%1").arg(i));
        button->SetBounds(QRect(kButtonPitch * i, 1, kButtonSize, kButtonSize));
        button->SetFlat(true);
        button->SetGroupIndex(kDeviceGroup);
        button->SetCaption(QString());
        button->SetHint(device->Name);
        button->SetTag(device->ID);
        button->SetNumGlyphs(4);
        // A picture that cannot be read ends start-up here, as a broken installation should.
        const QString picture = DevicePictureFile(ProgramDir, device->idName);
        CheckDevicePicture(picture);
        button->SetGlyphFile(picture);
        button->OnClick = [this](TControl* sender) { DeviceButtonClick(sender); };
        button->SetEnabled(DeviceButtonsPanel.Enabled());
        DeviceButtonsPanel.Buttons.push_back(std::move(button));
    }
}

void TMainForm::DeviceButtonClick(TControl* sender)
{
    if (!sender)
        return;
    // The group: the pressed button stays down and releases the one pressed before.
    if (auto* pressed = dynamic_cast<TSpeedButton*>(sender)) {
        for (const auto& button : DeviceButtonsPanel.Buttons)
            if (button.get() != pressed && button->GroupIndex() == pressed->GroupIndex())
                button->SetDown(false);
        pressed->SetDown(true);
    }
    SelectedDeviceID = sender->Tag();
    UpdateCaption();
    OutVideoFileBEdit.SetText(MakeOutFileName(SourceFilenameEdit.Text()));
    SourceFilenameEditChange(&SourceFilenameEdit);
}

void TMainForm::DevicePageScrollerScroll(int& delta)
{
    delta = kScrollStep;
}

}  // namespace ondrava
