// Start-up, shutdown and the language steps; each does nothing until it is written.
#include "window/MainF.h"

namespace ondrava {

void TMainForm::FormCreate() {}
void TMainForm::FormClose() {}
void TMainForm::ApplyLanguage() {}
void TMainForm::LanguageMenuItemClick(TControl*) {}
void TMainForm::ViewMenuItemClick(TControl*) {}
void TMainForm::LanguageStartup() {}
void TMainForm::BuildLanguageMenu() {}
void TMainForm::GetLanguageList(QStringList& list) const { list.clear(); }
QString TMainForm::GetDefaultLanguage() { return QStringLiteral("English"); }
void TMainForm::UpdateLanguageChecks() {}

}  // namespace ondrava
