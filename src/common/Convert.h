#pragma once
// Text conventions shared by every part of the program: numbers read with a
// default, ASCII-only case mapping, and the three parts of a path.
#include <QString>

namespace ondrava {

// The whole text must be an integer: optional leading blanks, an optional
// sign, then decimal digits or a hexadecimal number after "$", "x" or "0x"
// (either case), within the 32-bit signed range. Anything else gives def.
int StrToIntDef(const QString& text, int def);

// Only A..Z and a..z change; every other character stays as it is.
QString AsciiLower(const QString& text);
QString AsciiUpper(const QString& text);

// Folder part: the text before the last "/" (empty when there is none).
QString ExtractFileDir(const QString& path);
// File-name part: the text after the last "/" (the whole text when there is none).
QString ExtractFileName(const QString& path);
// Extension: from the last "." to the end, dot included, when that dot is not
// the first character and no "/" follows it; otherwise empty.
QString ExtractFileExt(const QString& path);

}  // namespace ondrava
