#include "platform/ChildProcess.h"

namespace ondrava {

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

bool ChildProcess::Start(const CommandLine& cmd, const QString& workingDirectory)
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
    m_started = false;
    m_process.setProgram(cmd.program);
    m_process.setArguments(cmd.arguments);
    m_process.setWorkingDirectory(workingDirectory);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QIODevice::ReadOnly);
    m_started = m_process.waitForStarted(-1);
    return m_started;
}

bool ChildProcess::WaitForExit(int timeoutMs)
{
    if (!m_started)
        return true;
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForFinished(timeoutMs);
    return m_process.state() == QProcess::NotRunning;
}

void ChildProcess::Terminate()
{
    if (m_started && m_process.state() != QProcess::NotRunning)
        m_process.kill();
}

int ChildProcess::ExitCode() const
{
    if (!m_started || m_process.state() != QProcess::NotRunning || Crashed())
        return -1;
    return m_process.exitCode();
}

bool ChildProcess::Crashed() const
{
    return m_started && m_process.state() == QProcess::NotRunning &&
           m_process.exitStatus() == QProcess::CrashExit;
}

}  // namespace ondrava
