#pragma once
// The source's duration, read from what the media tool reports when it is given only the
// source: the denominator of the progress percentage.
#include <QDateTime>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

#include <memory>

#include "platform/CommandLine.h"

namespace ondrava {

// A probe that has not ended after this long is killed; a tool that hangs must not freeze
// the window for good.
inline constexpr int kProbeTimeLimitMs = 60000;

// The probe as a child that runs while its caller goes on (pumping the window's events, or
// waiting for the automatic start). Its standard output and error are merged into one text.
class SourceProbe {
public:
    SourceProbe() = default;
    ~SourceProbe();  // kills and reaps a child still running
    SourceProbe(const SourceProbe&) = delete;
    SourceProbe& operator=(const SourceProbe&) = delete;

    // Starts the tool; false when it cannot start (the probe is then over, with empty text).
    bool Start(const CommandLine& cmd, const QString& currentDirectory,
               int timeLimitMs = kProbeTimeLimitMs);
    // Waits at most timeoutMs for the tool to end; true once it has ended, was never started,
    // or was killed at the time limit. The tool's text is collected as it arrives, so a chatty
    // tool never blocks on a full pipe.
    bool Wait(int timeoutMs);
    bool Finished() const;
    // Everything the tool wrote up to now, decoded from the locale's 8-bit encoding in one
    // piece, so a character is never split between two reads.
    QString Text() const;

private:
    std::unique_ptr<QProcess> m_process;
    QDeadlineTimer m_deadline;
    QByteArray m_captured;
};

// The file a probe described: the same path, size and modification time mean the same source.
struct SourceIdentity {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    static SourceIdentity Of(const QString& path);
    bool operator==(const SourceIdentity&) const = default;
};

// Runs the command to its end with stdout and stderr merged and returns what it wrote,
// decoded from the locale's 8-bit encoding; empty when it did not start.
QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory);
QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory, int timeLimitMs);

// Milliseconds from the first "Duration: hh:mm:ss.cc," of the text; 0 when none.
qint64 ParseDuration(const QString& text);

}  // namespace ondrava
