// The update check in the window, the help and the web links; each does nothing until it is written.
#include "window/MainF.h"

namespace ondrava {

void TMainForm::StartFastUpdateCheck() {}
void TMainForm::ShowUpdateNotice() {}
void TMainForm::CheckUpdateActionExecute(TControl*) {}
void TMainForm::ContentsActionExecute(TControl*) {}
void TMainForm::HomePageActionExecute(TControl*) {}
void TMainForm::EmailActionExecute(TControl*) {}
void TMainForm::AboutActionExecute(TControl*) { Services.ShowAbout(); }

}  // namespace ondrava
