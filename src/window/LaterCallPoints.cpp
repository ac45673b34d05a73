// Steps of the window that start-up, the language, the device buttons, automatic mode and the
// update check provide; until they do, each does nothing, so the window works without them.
#include "window/MainF.h"

namespace ondrava {

void TMainForm::StartFastUpdateCheck() {}
bool TMainForm::NotifyConvertForApp() { return false; }
void TMainForm::ShowUpdateNotice() {}
void TMainForm::FormCreate() {}
void TMainForm::FormClose() {}
void TMainForm::CreateDeviceButtons() {}
void TMainForm::DeviceButtonClick(TControl*) {}
void TMainForm::ApplyLanguage() {}
void TMainForm::LanguageMenuItemClick(TControl*) {}
void TMainForm::ViewMenuItemClick(TControl*) {}
void TMainForm::AutoTimerTimer(TControl*) {}
void TMainForm::CheckUpdateActionExecute(TControl*) {}
void TMainForm::ContentsActionExecute(TControl*) {}
void TMainForm::HomePageActionExecute(TControl*) {}
void TMainForm::EmailActionExecute(TControl*) {}
void TMainForm::AboutActionExecute(TControl*) { Services.ShowAbout(); }

}  // namespace ondrava
