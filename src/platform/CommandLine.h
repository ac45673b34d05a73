#pragma once
// A child program's command line: started by its full path with a list of arguments, never
// through a shell. The option texts of presets were written for a Windows command line, so
// they are split by the rules a Windows program applies to its own command line.
#include <QString>
#include <QStringList>

namespace ondrava {

// A program started by its full path plus its argument list; `text` is the display form
// (Windows-style quoting) for display and tests.
struct CommandLine {
    QString program;
    QStringList arguments;
    QString text;
};

// Splits an option string into arguments: blanks and tabs separate, double quotes group,
// backslashes are literal except before a double quote (2n backslashes + quote -> n
// backslashes and the quote toggles grouping; 2n+1 -> n backslashes and a literal quote),
// and "" inside a group is a literal quote that also closes the group.
QStringList SplitWindowsArguments(const QString& text);

}  // namespace ondrava
