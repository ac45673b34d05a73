#pragma once
// The output name proposed from a source path, the file dialogs' filters and the rule for
// files dropped on the source box. Pure functions: the window feeds them its state.
#include <QString>

namespace ondrava {

// The window's title; the caption begins with it.
inline const QString kAppTitle = QStringLiteral("Ondrava");

// Filters in the "description|patterns|description|patterns" form; the view turns them into
// its dialogs' own form.
extern const QString kSourceDialogFilter;
extern const QString kOutDialogFilter;

// The source's name with every occurrence of its extension (any letter case) replaced by
// "." + formatExt, joined to its folder with "/". A source without extension stays as it is.
QString ProposeFormatOutput(const QString& sourceName, const QString& formatExt);

// The source's name with every occurrence of its extension removed, followed by
// "(" + deviceName + ")." + deviceExt, joined to its folder with "/".
QString ProposeDeviceOutput(const QString& sourceName, const QString& deviceName,
                            const QString& deviceExt);

// A dropped file is taken when "*" + its lower-cased extension occurs in the source filter.
bool IsAcceptedDropFile(const QString& fileName);

// The folder a path lies in, for opening it: the folder part, or "/" for a name directly
// under the root.
QString FolderToOpen(const QString& path);

}  // namespace ondrava
