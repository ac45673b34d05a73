#include "platform/ChildProcess.h"

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace ondrava {

DiagnosticTail::DiagnosticTail(int maxLines, int maxBytes)
    : m_maxLines(std::max(maxLines, 0)), m_maxBytes(std::max(maxBytes, 0))
{
}

void DiagnosticTail::Clear()
{
    m_tail.clear();
    m_cut = false;
}

void DiagnosticTail::Append(const QByteArray& chunk)
{
    if (chunk.size() >= m_maxBytes) {
        m_cut = m_cut || !m_tail.isEmpty() || chunk.size() > m_maxBytes;
        m_tail = chunk.right(m_maxBytes);
        return;
    }
    m_tail.append(chunk);
    if (m_tail.size() > m_maxBytes) {
        m_tail.remove(0, m_tail.size() - m_maxBytes);
        m_cut = true;
    }
}

QStringList DiagnosticTail::Lines() const
{
    QList<QByteArray> pieces;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= m_tail.size(); ++i) {
        if (i == m_tail.size() || m_tail[i] == '\n' || m_tail[i] == '\r') {
            pieces.append(m_tail.mid(begin, i - begin));
            begin = i + 1;
        }
    }
    if (m_cut && !pieces.isEmpty()) {
        if (pieces.size() > 1) {
            // The first piece is what is left of a line whose start was dropped.
            pieces.removeFirst();
        } else {
            // One overlong line: keep its end, but not half a character.
            QByteArray& only = pieces.first();
            qsizetype skip = 0;
            while (skip < only.size() && (static_cast<unsigned char>(only[skip]) & 0xC0) == 0x80)
                ++skip;
            only.remove(0, skip);
        }
    }
    QStringList lines;
    for (const QByteArray& piece : pieces) {
        const QString line = QString::fromLocal8Bit(piece).trimmed();
        if (!line.isEmpty())
            lines.append(line);
    }
    if (lines.size() > m_maxLines)
        lines = lines.mid(lines.size() - m_maxLines);
    return lines;
}

void DieWithThisProgram(QProcess& process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The program may have died before the request took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}

ChildProcess::ChildProcess() : m_diagnostics(0, 0)
{
    // Every chunk the process reads from the pipe is folded into the tail at once, also while
    // it waits inside waitForFinished, so its own buffer never holds more than one pipe's worth.
    QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process,
                     [this] { DrainDiagnostics(); });
}

ChildProcess::~ChildProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

void ChildProcess::KeepDiagnostics(int maxLines, int maxBytes)
{
    m_keepDiagnostics = true;
    m_diagnostics = DiagnosticTail(maxLines, maxBytes);
}

bool ChildProcess::Start(const CommandLine& cmd, const QString& workingDirectory)
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
    m_started = false;
    m_diagnostics.Clear();
    m_process.setProgram(cmd.program);
    m_process.setArguments(cmd.arguments);
    m_process.setWorkingDirectory(workingDirectory);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    if (m_keepDiagnostics) {
        // A pipe of its own: QProcess::setStandardErrorFile has no "pipe" value to return to.
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.setStandardErrorFile(QString());
        m_process.setReadChannel(QProcess::StandardError);
    } else {
        m_process.setStandardErrorFile(QProcess::nullDevice());
    }
    DieWithThisProgram(m_process);
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
    DrainDiagnostics();
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

QStringList ChildProcess::LastDiagnosticLines() const
{
    return m_diagnostics.Lines();
}

qsizetype ChildProcess::DiagnosticBytesHeld() const
{
    return m_diagnostics.BytesHeld() + (m_keepDiagnostics ? m_process.bytesAvailable() : 0);
}

void ChildProcess::DrainDiagnostics()
{
    if (!m_keepDiagnostics)
        return;
    const QByteArray chunk = m_process.readAllStandardError();
    if (!chunk.isEmpty())
        m_diagnostics.Append(chunk);
}

}  // namespace ondrava
