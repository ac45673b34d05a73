#pragma once
// Reading the program's text files (language files, the device catalogue).
#include <QByteArray>
#include <QString>

namespace ondrava {

// A byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE (the mark is not part of the text);
// without one the bytes are decoded in the locale's 8-bit encoding (QString::fromLocal8Bit).
QString DecodeTextFile(const QByteArray& bytes);

// The whole file's bytes; a file that cannot be opened or read raises an Error naming the file
// and the reason.
QByteArray ReadWholeFile(const QString& fileName);

}  // namespace ondrava
