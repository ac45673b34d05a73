// The device buttons, the command line and automatic mode; each does nothing until it is written.
#include "window/MainF.h"

namespace ondrava {

bool TMainForm::NotifyConvertForApp() { return false; }
void TMainForm::CreateDeviceButtons() {}
void TMainForm::DeviceButtonClick(TControl*) {}
void TMainForm::AutoTimerTimer(TControl*) {}
QString TMainForm::GetParamValue(const QString&) const { return {}; }
void TMainForm::ApplyCommandLineOptions() {}
void TMainForm::DevicePageScrollerScroll(int& delta) { delta = 13; }

}  // namespace ondrava
