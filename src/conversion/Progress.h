#pragma once
// The conversion's progress, read from the tail of the progress file the tool keeps writing.
#include <QString>

namespace ondrava {

// Percentage of totalContentDuration (ms) reached, from the first "out_time_ms=" line in the
// file's last 160 bytes; 0 when nothing can be read. Never reads more than those 160 bytes.
int ReadProgressPercent(const QString& progressFile, qint64 totalContentDuration);

// The file's size in bytes; -1 when it cannot be opened.
qint64 FileSizeOf(const QString& fileName);

}  // namespace ondrava
