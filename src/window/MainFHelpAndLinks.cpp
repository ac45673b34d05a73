// The Help menu: the help pages, the home page, the support mail and the About box.
#include "window/MainF.h"

#include "app/ProductInfo.h"
#include "window/HtmlHlp.h"

namespace ondrava {

void TMainForm::ContentsActionExecute(TControl*)
{
    // Without a language nothing has chosen the help yet.
    if (HELP_FILENAME.isEmpty())
        return;
    ShowHtmlHelp(ProgramDir, HELP_FILENAME + QStringLiteral("::/index.htm"));
}

void TMainForm::HomePageActionExecute(TControl*)
{
    ShellOpen(HOMEPAGE_LINK, QString());
}

void TMainForm::EmailActionExecute(TControl*)
{
    ShellOpen(QStringLiteral("mailto:") + SupportEmail(), QString());
}

void TMainForm::AboutActionExecute(TControl*)
{
    Services.ShowAbout();
}

}  // namespace ondrava
