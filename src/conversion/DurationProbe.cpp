#include "conversion/DurationProbe.h"

#include <QDeadlineTimer>
#include <QProcess>

namespace ondrava {

QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory)
{
    return RunAndCapture(cmd, currentDirectory, kProbeTimeLimitMs);
}

QString RunAndCapture(const CommandLine& cmd, const QString& currentDirectory, int timeLimitMs)
{
    QProcess process;
    process.setProgram(cmd.program);
    process.setArguments(cmd.arguments);
    process.setWorkingDirectory(currentDirectory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        return QString();

    // QProcess drains the pipe while it waits, so a chatty tool never blocks on a full pipe.
    QByteArray captured;
    const QDeadlineTimer deadline(timeLimitMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process.waitForFinished(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        captured += process.readAll();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1);
    }
    captured += process.readAll();
    // Decoded as a whole, so a character is never split between two reads.
    return QString::fromLocal8Bit(captured);
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
