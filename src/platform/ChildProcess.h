#pragma once
// A child program run without a shell. Its standard input is the null device, so a tool can
// never wait at a prompt; its output goes to the null device, so nothing accumulates however
// long it runs.
#include <QProcess>

#include "platform/CommandLine.h"

namespace ondrava {

class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess();  // kills and reaps a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the program cannot start (missing, not executable, bad working directory).
    bool Start(const CommandLine& cmd, const QString& workingDirectory);
    // True once the child has ended, also when it had ended before this call.
    bool WaitForExit(int timeoutMs);
    // Ends the child at once (SIGKILL); a later WaitForExit reaps it.
    void Terminate();
    // The exit code; -1 for a child ended by a signal or one that has not ended.
    int ExitCode() const;
    bool Crashed() const;  // ended by a signal

private:
    QProcess m_process;
    bool m_started = false;
};

}  // namespace ondrava
