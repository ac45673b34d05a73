#pragma once
// The real program over private folders: a copy of the build's program folder (its media tool
// replaced by a script of the test's choosing), its own configuration, data and runtime folders,
// started offscreen and ended by its process id when it does not end by itself.
#include "support/TestSupport.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faults {

// Polls pred every 50 ms until it holds or timeoutMs has passed; returns pred().
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs)
        QThread::msleep(50);
    return pred();
}

// True while a process with this id exists and is not a zombie waiting for its parent.
inline bool ProcessAlive(qint64 pid)
{
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    const QByteArray stat = testsupport::ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

// Kills a process by its id at the end of a scope when it still runs: a test that stops midway
// must not leave a fake tool behind.
struct KillWhenDone {
    qint64 pid;
    ~KillWhenDone()
    {
        if (ProcessAlive(pid))
            ::kill(pid_t(pid), SIGKILL);
    }
};

// The id a fake tool wrote to a file ("echo $$ > file"), 0 when there is none.
inline qint64 PidFromFile(const QString& path)
{
    return testsupport::ReadFile(path).trimmed().toLongLong();
}

class ProgramRun {
public:
    QTemporaryDir tmp;
    QString root, programDir, configHome, dataHome, runtimeDir, work;
    // When set, the program runs as this unprivileged user (the test runs as root).
    bool asNobody = false;

    // shareExecutable: the copy's executable is a hard link to the build's (where the file
    // system allows), for tests that start the program many times; such a run must never
    // change the executable (nor take it over with PrepareNobody).
    explicit ProgramRun(bool shareExecutable = false)
    {
        root = tmp.path();
        programDir = root + QStringLiteral("/program");
        configHome = root + QStringLiteral("/config");
        dataHome = root + QStringLiteral("/data");
        runtimeDir = root + QStringLiteral("/runtime");
        work = root + QStringLiteral("/work");
        for (const QString& d : {configHome + QStringLiteral("/Zelt"), dataHome, runtimeDir, work})
            QDir().mkpath(d);
        const QString built = testsupport::BuildProgramDir() + QStringLiteral("/Ondrava");
        if (shareExecutable && QDir().mkpath(programDir) &&
            ::link(QFile::encodeName(built).constData(), QFile::encodeName(Executable()).constData()) == 0) {
            for (const QString& name : Names(testsupport::BuildProgramDir())) {
                const QFileInfo entry(testsupport::BuildProgramDir() + QLatin1Char('/') + name);
                if (name != QLatin1String("Ondrava") && !entry.isSymLink()) {
                    if (entry.isDir())
                        testsupport::CopyProgramDir(entry.filePath(), programDir + QLatin1Char('/') + name);
                    else
                        QFile::copy(entry.filePath(), programDir + QLatin1Char('/') + name);
                }
            }
        } else {
            testsupport::CopyProgramDir(testsupport::BuildProgramDir(), programDir);
        }
        // The quiet update check is not due, so no run leaves this machine.
        SetStored(QStringLiteral("LastFUDate"),
                  QString::number(QDate(1899, 12, 30).daysTo(QDate::currentDate())));
        SetStored(QStringLiteral("Language"), QStringLiteral("English"));
    }

    ~ProgramRun() { End(); }

    bool Valid() const
    {
        return tmp.isValid() && QFileInfo(Executable()).isFile() && QFileInfo(Executable()).isExecutable();
    }
    // The executable beside its data (a folder "ondrava" holds the help pages).
    QString Executable() const { return programDir + QStringLiteral("/Ondrava"); }
    QString ToolPath() const { return programDir + QStringLiteral("/ffmpeg"); }
    QString SettingsFile() const { return configHome + QStringLiteral("/Zelt/Ondrava.conf"); }
    QString Work(const QString& name) const { return work + QLatin1Char('/') + name; }

    void SetTool(const QByteArray& body) { testsupport::WriteScript(ToolPath(), body); }
    // A tool that does `before` and then hands its arguments to the real tool.
    void SetWrappedRealTool(const QByteArray& before)
    {
        SetTool(before + "\nexec '" + testsupport::FfmpegPath().toUtf8() + "' \"$@\"\n");
    }

    void SetStored(const QString& key, const QString& value)
    {
        QSettings store(SettingsFile(), QSettings::NativeFormat);
        store.setValue(key, value);
        store.sync();
    }
    QString Stored(const QString& key) const
    {
        QSettings store(SettingsFile(), QSettings::NativeFormat);
        return store.value(key).toString();
    }

    // Makes the private folders the unprivileged user's own; false when there is no such user.
    bool PrepareNobody()
    {
        const passwd* user = ::getpwnam("nobody");
        if (!user || !QFileInfo(QStringLiteral("/usr/bin/setpriv")).isExecutable())
            return false;
        asNobody = true;
        ::chmod(QFile::encodeName(root).constData(), 0755);
        if (::chown(QFile::encodeName(root).constData(), user->pw_uid, user->pw_gid) != 0)
            return false;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QByteArray path = QFile::encodeName(it.next());
            if (::lchown(path.constData(), user->pw_uid, user->pw_gid) != 0)
                return false;
        }
        return true;
    }

    // Starts the program with these arguments; the process runs until it ends or End().
    QProcess& Start(const QStringList& args)
    {
        QProcessEnvironment env = testsupport::PrivateProgramEnvironment(configHome, dataHome, runtimeDir);
        env.insert(QStringLiteral("HOME"), root);
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        process->setWorkingDirectory(work);
        const QString program = Executable();
        if (asNobody)
            process->start(QStringLiteral("/usr/bin/setpriv"),
                           QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                       QStringLiteral("--clear-groups"), QStringLiteral("--"), program} +
                               args);
        else
            process->start(program, args);
        process->waitForStarted(10000);
        return *process;
    }

    // Automatic mode: convert `source` to MP4 and close after a success.
    QProcess& StartAutomatic(const QString& source)
    {
        return Start({QStringLiteral("-inName=") + source, QStringLiteral("-format=mp4"),
                      QStringLiteral("-acm=autoClose")});
    }

    bool Running() const { return process && process->state() == QProcess::Running; }

    // Waits for the program to end by itself; false when it still runs after timeoutMs.
    bool WaitForEnd(int timeoutMs) { return !process || process->waitForFinished(timeoutMs); }
    bool EndedWell() const
    {
        return process && process->state() == QProcess::NotRunning &&
               process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }

    // Everything the program wrote to its terminal (for failure messages).
    std::string Output() const
    {
        return process ? (process->readAll()).toStdString() : std::string();
    }

    // Ends the program by its id if it still runs.
    void End()
    {
        if (Running()) {
            ::kill(pid_t(process->processId()), SIGKILL);
            process->waitForFinished(10000);
        }
    }

    // The names in a folder, sorted.
    static QStringList Names(const QString& folder)
    {
        QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                   QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }

    std::unique_ptr<QProcess> process;

};

}  // namespace faults
