#pragma once
// A child program run without a shell. Its standard input is the null device, so a tool can
// never wait at a prompt; its output goes to the null device, so nothing accumulates however
// long it runs. On request the last lines of its standard error are kept in a small bounded
// buffer, so that a failure can be explained with the tool's own words.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include "platform/CommandLine.h"

namespace ondrava {

// The tail of a stream of text lines: never holds more than maxBytes bytes however much is
// appended; older text is dropped as new text arrives.
class DiagnosticTail {
public:
    DiagnosticTail(int maxLines, int maxBytes);
    void Clear();
    void Append(const QByteArray& chunk);
    // The last lines that hold more than blanks, trimmed, oldest first; line feeds and carriage
    // returns both end a line. A line cut by the bound loses its older part.
    QStringList Lines() const;
    qsizetype BytesHeld() const { return m_tail.size(); }

private:
    int m_maxLines;
    int m_maxBytes;
    QByteArray m_tail;
    bool m_cut = false;  // text before m_tail was dropped
};

// Makes the process's next child die with this program: a tool must not run on when the
// program is killed, or ended by a second signal, while the tool works for it.
void DieWithThisProgram(QProcess& process);

class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess();  // kills and reaps a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Keep the last lines of the child's standard error instead of discarding it: at most
    // maxLines lines and maxBytes bytes. Takes effect at the next Start.
    void KeepDiagnostics(int maxLines = 8, int maxBytes = 4096);

    // False when the program cannot start (missing, not executable, bad working directory).
    bool Start(const CommandLine& cmd, const QString& workingDirectory);
    // True once the child has ended, also when it had ended before this call. While waiting,
    // kept standard error is read as it arrives, so the child never stalls on a full pipe.
    bool WaitForExit(int timeoutMs);
    // Ends the child at once (SIGKILL); a later WaitForExit reaps it.
    void Terminate();
    // The exit code; -1 for a child ended by a signal or one that has not ended.
    int ExitCode() const;
    bool Crashed() const;  // ended by a signal

    // The last lines the child wrote to standard error (empty unless KeepDiagnostics was set).
    QStringList LastDiagnosticLines() const;
    // Bytes of standard error held now, the tool's pending text included.
    qsizetype DiagnosticBytesHeld() const;

private:
    void DrainDiagnostics();

    QProcess m_process;
    bool m_started = false;
    bool m_keepDiagnostics = false;
    DiagnosticTail m_diagnostics;
};

}  // namespace ondrava
