#pragma once
// Why a conversion failed, in terms a person can act on: judged from how the media tool ended,
// the last lines it wrote and what the program itself knows about the run. Pure: the caller
// gathers the facts, and the texts for each cause come from the language file.
#include <QString>
#include <QStringList>

namespace ondrava {

enum class FailureCause {
    ToolMissing,          // detail: the tool's path
    ToolCannotStart,      // detail: the tool's path
    SourceUnreadable,     // detail: the source's path
    SourceNotMedia,       // detail: the source's path
    EncoderMissing,       // detail: the encoder's name, e.g. libx264
    SourceHasNoSound,     // a picture-only source asked for an audio format
    OutputNotWritable,    // detail: the output's folder
    DiskFull,
    ToolCrashed,
    ToolSaid,             // detail: the tool's last meaningful line
    Unexplained,          // the tool ended without a word
};

// What is known about a failed run.
struct RunFacts {
    QString toolPath;
    bool toolStarted = true;
    bool toolExists = true;   // the tool's file is there (when it did not start)
    bool crashed = false;     // ended by a signal
    int exitCode = 0;
    QStringList lastLines;    // the tool's last lines of standard error, oldest first
    QString sourcePath;       // as the tool was given it
    QString outputPath;       // as the tool was given it
};

struct FailureReason {
    FailureCause cause = FailureCause::Unexplained;
    QString detail;
    bool operator==(const FailureReason&) const = default;
};

FailureReason JudgeFailure(const RunFacts& facts);

// Whether a line belongs to the version banner the tool writes first (its version, build,
// configuration and library versions): no word about this run.
bool IsToolBannerLine(const QString& line);
// The lines without the banner's, in their order.
QStringList WithoutToolBanner(const QStringList& lines);

// The last line that says something: not a progress line, not the closing "Conversion
// failed!", not part of the banner, not blank. Empty when there is none.
QString LastMeaningfulLine(const QStringList& lines);

// Whether the tool's last lines report that writing the output failed, which it may do and
// still end with code 0 (a full disk met while it writes the file's end).
bool ToolReportsWriteFailure(const QStringList& lines);

// Whether the output's extension names a sound-only format.
bool IsSoundOnlyOutput(const QString& outputPath);

}  // namespace ondrava
