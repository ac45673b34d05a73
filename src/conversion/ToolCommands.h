#pragma once
// The two command lines of the media tool "ffmpeg" in the program directory: the duration
// probe and the conversion.
#include <QString>

#include "platform/CommandLine.h"

namespace ondrava {

// programDir may end with "/" or not.
CommandLine ProbeCommandLine(const QString& programDir, const QString& sourceFile);
// options is empty or begins with a blank.
CommandLine ConversionCommandLine(const QString& programDir, const QString& progressFile,
                                  const QString& sourceFile, const QString& options,
                                  const QString& outputFile);

// The path as the tool must receive it: absolute, so that a name beginning with "-" is never
// taken for an option and a name holding ":" never for a protocol.
QString LocalFileArgument(const QString& path);

}  // namespace ondrava
