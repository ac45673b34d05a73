#pragma once
// The source's duration, read from what the media tool reports when it is given only the
// source: the denominator of the progress percentage.
#include <QString>

#include "platform/CommandLine.h"

namespace ondrava {

// A probe that has not ended after this long is killed; a tool that hangs must not freeze
// the window for good.
inline constexpr int kProbeTimeLimitMs = 60000;

// Runs the command to its end with stdout and stderr merged and returns what it wrote,
// decoded from the locale's 8-bit encoding; empty when it did not start.
QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory);
QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory, int timeLimitMs);

// Milliseconds from the first "Duration: hh:mm:ss.cc," of the text; 0 when none.
qint64 ParseDuration(const QString& text);

}  // namespace ondrava
