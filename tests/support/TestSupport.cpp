#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFileDevice>
#include <QProcess>
#include <QStringList>

namespace testsupport {

QString SourceDir() { return QStringLiteral(ONDRAVA_TEST_SOURCE_DIR); }
QString BuildProgramDir() { return QStringLiteral(ONDRAVA_BUILD_PROGRAM_DIR); }
QString BuildProgram() { return BuildProgramDir() + QStringLiteral("/Ondrava"); }
QString FfmpegPath() { return QStringLiteral(ONDRAVA_FFMPEG); }
QString FfprobePath() { return QStringLiteral(ONDRAVA_FFPROBE); }

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteScript(const QString& path, const QByteArray& body)
{
    // A link to the real tool is replaced, never written through.
    if (QFileInfo(path).isSymLink())
        QFile::remove(path);
    WriteFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                    QFileDevice::ReadOther | QFileDevice::ExeOther);
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs)
        QThread::msleep(20);
    return pred();
}

void CopyProgramDir(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = to + info.filePath().mid(from.size());
        if (info.isSymLink())
            continue;
        if (info.isDir())
            QDir().mkpath(target);
        else
            QFile::copy(info.filePath(), target);
    }
}

bool MakeClip(const QString& path, double seconds, bool video, bool audio, const QString& size)
{
    QStringList args{QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                     QStringLiteral("error")};
    const QString t = QString::number(seconds);
    if (video)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("testsrc2=size=%1:rate=25:duration=%2").arg(size, t);
    if (audio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(t);
    if (video)
        args << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-q:v") << QStringLiteral("5");
    if (audio)
        args << QStringLiteral("-c:a") << QStringLiteral("pcm_s16le");
    args << path;
    return RunProgram(FfmpegPath(), args) == 0 && QFile::exists(path);
}

int RunProgram(const QString& program, const QStringList& args, QByteArray* output, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted())
        return -1;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void RelaxSanitizerForDisplay(QProcessEnvironment& env)
{
    const QString key = QStringLiteral("ASAN_OPTIONS");
    if (env.contains(key))
        env.insert(key, env.value(key) + QStringLiteral(":detect_leaks=0:strict_string_checks=0"));
}

QProcessEnvironment PrivateProgramEnvironment(const QString& configHome, const QString& dataHome,
                                              const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("ONDRAVA_SITE_URL"), QStringLiteral("http://127.0.0.1:9"));
    return env;
}

}  // namespace testsupport
