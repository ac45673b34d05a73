#pragma once
// Small helpers shared across the program: markup element text, numbered placeholders,
// comment lines of language files, sounds, free file names and the user's data folder.
#include <QString>
#include <QStringList>

namespace ondrava {

// Text between the first "<tag>" and the first "</tag>" when the opening tag comes first;
// otherwise empty. With remove, the whole element (or else the first "<tag/>") is cut out
// of text. Exact, case-sensitive matching; the content is returned untouched.
QString GetTagText(QString& text, const QString& tag, bool remove);

// Replaces the first "%1" by s1 (even when empty), then the first "%2", "%3", "%4" by
// s2..s4 where those are not empty; each search runs over the result so far.
QString FillPlaceholders(const QString& pattern, const QString& s1, const QString& s2 = {},
                         const QString& s3 = {}, const QString& s4 = {});

// Trims every line (characters 0..32 at both ends), drops empty lines and lines that begin
// with "//", and cuts the rest at their first "//". Runs in linear time.
void StripComments(QStringList& lines);

// Starts playing a wave file through the current sound player and returns at once;
// nothing happens when disabled, when no player is installed or when playing fails.
void PlaySoundFile(const QString& fileName, bool enabled);

// fileName when no such file exists; otherwise base[n]ext with the first free n, counting
// on from a number already in brackets at the end of the name ("clip[7].mp4" -> "clip[8].mp4").
QString MakeUniqueFileName(const QString& fileName);

// The folder's path without a trailing "/", created when missing; empty on failure.
// 26 is the user's application data folder; any other number gives empty.
QString GetSpecialFolderPath(int folder);

}  // namespace ondrava
