// The end-of-run sound on a real sound server: a private PulseAudio with a null output, whose
// monitor is recorded while the program converts in automatic mode and closes by itself. What
// reached the output is measured from the recorded samples.
#include "CommandLineFixture.h"

#include "support/TestSupport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace ondrava;
using testsupport::CopyProgramDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;
using testsupport::WriteScript;

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// Seconds from the first to the last sample louder than about -40 dBFS in 16-bit stereo.
double AudibleSeconds(const QByteArray& raw)
{
    const qsizetype samples = raw.size() / 2;
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < samples; ++i) {
        std::int16_t sample = 0;
        std::memcpy(&sample, raw.constData() + 2 * i, 2);
        if (std::abs(int(sample)) > 330) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first < 0 ? 0.0 : double(last - first) / (kRate * kChannels);
}

// A sound server of the test's own, reachable only through a socket in the test's folder.
class PrivateSoundServer {
public:
    explicit PrivateSoundServer(const QString& root) : m_socket(root + QStringLiteral("/pulse/native"))
    {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty())
            return;
        for (const char* dir : {"/pulse", "/home", "/run", "/config"})
            QDir().mkpath(root + QLatin1String(dir));
        QFile::setPermissions(root + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
        m_env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), root + QStringLiteral("/pulse"));
        m_env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        m_server.setProcessEnvironment(m_env);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // No start-up script, no session: one null output and the socket.
        m_server.start(pulseaudio, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                                    QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                                    QStringLiteral("--load=module-null-sink sink_name=heard rate=44100 channels=2"),
                                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + m_socket});
        if (m_server.waitForStarted(10000))
            WaitUntil([&] { return QFileInfo::exists(m_socket) || m_server.state() != QProcess::Running; }, 15000);
    }
    ~PrivateSoundServer()
    {
        if (m_server.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_server.processId()), SIGTERM);
            if (!m_server.waitForFinished(5000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
    bool Running() const { return m_server.state() == QProcess::Running && QFileInfo::exists(m_socket); }
    QString Address() const { return QStringLiteral("unix:") + m_socket; }
    QProcessEnvironment Environment() const { return m_env; }

private:
    QString m_socket;
    QProcessEnvironment m_env;
    QProcess m_server;
};

TEST(SoundOnDesktopTest, TheEndOfRunSoundPlaysOutAfterTheWindowClosesByItself)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.path();
    PrivateSoundServer sound(root);
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (!sound.Running() || parec.isEmpty())
        GTEST_SKIP() << "PulseAudio (pulseaudio, parec) is not installed or did not start";

    // Everything the null output plays, as raw samples.
    const QString heard = root + QStringLiteral("/heard.raw");
    QProcess recorder;
    recorder.setProcessEnvironment(sound.Environment());
    recorder.setStandardOutputFile(heard);
    recorder.start(parec, {QStringLiteral("--server=") + sound.Address(), QStringLiteral("--device=heard.monitor"),
                           QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                           QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(heard).size() > 0; }, 10000)) << "the recorder hears nothing";

    const QString programDir = root + QStringLiteral("/program");
    CopyProgramDir(testsupport::BuildProgramDir(), programDir);
    const QString program = programDir + QLatin1Char('/') + QFileInfo(testsupport::BuildProgram()).fileName();
    WriteScript(programDir + QStringLiteral("/ffmpeg"), test::kFakeTool);
    const QString configHome = root + QStringLiteral("/config-program");
    // The quiet update check is not due, so the run stays on this machine.
    const int today = int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    test::SetStoreValue(configHome, QStringLiteral("Ondrava"), QStringLiteral("LastFUDate"), QString::number(today));
    const QString clip = root + QStringLiteral("/clip.avi");
    WriteFile(clip, "a downloaded video");

    QProcessEnvironment env = testsupport::PrivateProgramEnvironment(configHome, root + QStringLiteral("/data"),
                                                                     root + QStringLiteral("/run"));
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("PULSE_SERVER"), sound.Address());
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.remove(QStringLiteral("DISPLAY"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(program, {QStringLiteral("-inName=") + clip, QStringLiteral("-format=mp4"),
                        QStringLiteral("-acm=autoClose")});
    ASSERT_TRUE(run.waitForStarted(10000));
    ASSERT_TRUE(run.waitForFinished(60000)) << "the window did not close by itself";
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/clip.mp4"))) << run.readAll().toStdString();

    // The output's last samples reach the monitor a little after they were played.
    QThread::msleep(500);
    ::kill(pid_t(recorder.processId()), SIGTERM);
    recorder.waitForFinished(5000);
    QFile raw(heard);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    // The sound lasts 0.7 s and fades at its ends.
    EXPECT_GT(AudibleSeconds(raw.readAll()), 0.45) << run.readAll().toStdString();
}

}  // namespace
