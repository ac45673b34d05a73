#include "conversion/DurationProbe.h"

#include "platform/ChildProcess.h"

#include <QFileInfo>

namespace ondrava {

SourceProbe::~SourceProbe()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(-1);
    }
}

bool SourceProbe::Start(const CommandLine& cmd, const QString& currentDirectory, int timeLimitMs)
{
    m_captured.clear();
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(cmd.program);
    m_process->setArguments(cmd.arguments);
    m_process->setWorkingDirectory(currentDirectory);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    DieWithThisProgram(*m_process);
    m_process->start(QIODevice::ReadOnly);
    if (!m_process->waitForStarted(-1)) {
        m_process.reset();
        return false;
    }
    m_deadline = QDeadlineTimer(timeLimitMs);
    return true;
}

bool SourceProbe::Wait(int timeoutMs)
{
    if (!m_process)
        return true;
    if (m_process->state() != QProcess::NotRunning) {
        if (m_deadline.hasExpired()) {
            m_process->kill();
            m_process->waitForFinished(-1);
        } else {
            m_process->waitForFinished(int(qMin<qint64>(m_deadline.remainingTime(), timeoutMs)));
        }
    }
    m_captured += m_process->readAll();
    return m_process->state() == QProcess::NotRunning;
}

bool SourceProbe::Finished() const
{
    return !m_process || m_process->state() == QProcess::NotRunning;
}

QString SourceProbe::Text() const
{
    return QString::fromLocal8Bit(m_captured);
}

SourceIdentity SourceIdentity::Of(const QString& path)
{
    SourceIdentity id;
    id.path = path;
    const QFileInfo info(path);
    if (info.exists()) {
        id.size = info.size();
        id.modified = info.fileTime(QFileDevice::FileModificationTime);
    }
    return id;
}

QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory)
{
    return RunAndCapture(cmd, currentDirectory, kProbeTimeLimitMs);
}

QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory, int timeLimitMs)
{
    SourceProbe probe;
    if (!probe.Start(cmd, currentDirectory, timeLimitMs))
        return QString();
    while (!probe.Wait(1000)) {
    }
    return probe.Text();
}

qint64 ParseDuration(const QString& text)
{
    static const QString key = QStringLiteral("Duration: ");
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return 0;
    QString rest = text.mid(at + key.size());
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0)
        return 0;
    rest.truncate(comma);
    if (rest.size() < 11)
        return 0;
    // Fixed positions of hh:mm:ss.cc; the separators are not examined.
    const auto field = [&rest](qsizetype pos) -> qint64 {
        bool ok = false;
        const int v = rest.mid(pos, 2).toInt(&ok, 10);
        return ok ? v : 0;
    };
    const qint64 hours = field(0), minutes = field(3), seconds = field(6), hundredths = field(9);
    return (hours * 3600 + minutes * 60 + seconds) * 1000 + hundredths * 10;
}

}  // namespace ondrava
