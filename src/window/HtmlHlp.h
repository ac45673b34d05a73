#pragma once
// The help: a folder of HTML pages in the program directory, named after the help file
// without ".chm", opened in the browser at a topic.
#include <QString>

namespace ondrava {

// The page that helpName names inside programDir (which ends in "/"):
// "ondrava.chm::/index.htm" -> programDir + "ondrava/index.htm"; "ondrava.chm" alone gives
// its start page "index.htm"; a name without ".chm" is a page of its own. A "#anchor" after
// the topic stays with it.
QString HtmlHelpPath(const QString& programDir, const QString& helpName);

// Opens that page through the shell layer as a file address. Whether the page exists is left
// to the browser, as is any failure; owner is the window asking (unused on this desktop).
void ShowHtmlHelp(const QString& programDir, const QString& helpName, const void* owner = nullptr);

}  // namespace ondrava
