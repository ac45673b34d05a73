// The real program in automatic mode on a real clip, with a private session bus and a private
// bus in place of the system bus, each holding small fakes of the desktop's services: what a
// running download manager hears, what the taskbar and logind are told, and when the computer
// may sleep again.
#include "CommandLineFixture.h"

#include "support/PrivateBus.h"
#include "support/TestSupport.h"

#include <QDBusArgument>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace ondrava;
using testsupport::PumpUntil;

constexpr int kRunTimeoutMs = 120000;

QVariantMap Properties(const QDBusMessage& update)
{
    return qdbus_cast<QVariantMap>(update.arguments().value(1).value<QDBusArgument>());
}

class DesktopBusEndToEndTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString root, programDir, configHome, clip;
    testsupport::PrivateBus session;
    testsupport::PrivateBus system;
    QProcess program;

    void SetUp() override
    {
        if (session.Address().isEmpty() || system.Address().isEmpty())
            GTEST_SKIP() << session.Error().toStdString() << system.Error().toStdString();
        root = tmp.path();
        programDir = root + QStringLiteral("/program");
        configHome = root + QStringLiteral("/config");
        testsupport::CopyProgramDir(testsupport::BuildProgramDir(), programDir);
        // The real tool, which then lingers two seconds so that the run shows its progress.
        testsupport::WriteScript(programDir + QStringLiteral("/ffmpeg"),
                                 "tool='" + testsupport::FfmpegPath().toUtf8() + "'\n"
                                 "if [ \"$1\" = \"-progress\" ]; then\n"
                                 "  \"$tool\" \"$@\"; rc=$?; sleep 2; exit $rc\n"
                                 "fi\n"
                                 "exec \"$tool\" \"$@\"\n");
        // The quiet update check is not due, so the run stays on this machine.
        const int today = int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
        test::SetStoreValue(configHome, QStringLiteral("Ondrava"), QStringLiteral("LastFUDate"),
                            QString::number(today));
        test::SetStoreValue(configHome, QStringLiteral("Ondrava"), QStringLiteral("Language"),
                            QStringLiteral("English"));
        clip = root + QStringLiteral("/my clip, ü.avi");
        ASSERT_TRUE(testsupport::MakeClip(clip, 3.0));
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            ::kill(pid_t(program.processId()), SIGKILL);
            program.waitForFinished(10000);
        }
    }

    // With the private buses, or with no session bus and an unreachable system bus; offscreen
    // (where the window is the active one) unless an X display is given.
    void Start(const QStringList& args, bool withBuses = true, const QString& display = QString())
    {
        QProcessEnvironment env =
            testsupport::PrivateProgramEnvironment(configHome, root + QStringLiteral("/data"), root);
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), display);
            testsupport::RelaxSanitizerForDisplay(env);
        }
        if (withBuses) {
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session.Address());
            env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), system.Address());
        } else {
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
            env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + root + QStringLiteral("/no-system-bus"));
        }
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setStandardInputFile(QProcess::nullDevice());
        program.start(programDir + QStringLiteral("/Ondrava"),
                      QStringList{QStringLiteral("-inName=") + clip, QStringLiteral("-format=mp4")} + args);
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    QString Output() const { return root + QStringLiteral("/my clip, ü.mp4"); }
};

TEST_F(DesktopBusEndToEndTest, ARunningManagerHearsTheSignalAndTheDesktopSeesTheRun)
{
    // Parvel runs: it says so in its store and owns its name on the session bus.
    QDBusConnection parvel = session.Connect();
    ASSERT_TRUE(parvel.registerService(QStringLiteral("org.zelt.Parvel")));
    testsupport::SignalRecorder manager(session.Connect(), QStringLiteral("org.zelt.Ondrava"));
    const QString managerExe = root + QStringLiteral("/manager/parvel");
    QDir().mkpath(root + QStringLiteral("/manager"));
    testsupport::WriteScript(managerExe, test::kFakeManager);
    test::SetStoreValue(configHome, QStringLiteral("Parvel"), QStringLiteral("ApplicationHandle"),
                        QStringLiteral("4242"));
    test::SetStoreValue(configHome, QStringLiteral("Parvel"), QStringLiteral("ExeFile"), managerExe);

    testsupport::SignalRecorder dock(session.Connect(), QStringLiteral("com.canonical.Unity.LauncherEntry"));
    testsupport::FakeLogind logind(system.Connect());

    Start({QStringLiteral("-acm=autoClose"), QStringLiteral("-fDID=5")});
    ASSERT_TRUE(PumpUntil([&] { return program.state() == QProcess::NotRunning; }, kRunTimeoutMs))
        << "the window did not close by itself";
    EXPECT_EQ(program.exitCode(), 0) << program.readAll().toStdString();
    PumpUntil([&] { return !manager.signals_.empty(); }, 10000);

    ASSERT_TRUE(QFileInfo(Output()).size() > 0);
    EXPECT_EQ(test::StoreValue(configHome, QStringLiteral("Parvel"), QStringLiteral("conv_for_5")), Output());
    ASSERT_EQ(manager.signals_.size(), 1u);
    EXPECT_EQ(manager.signals_[0].member(), QStringLiteral("PVOndravaConversionComplete"));
    EXPECT_EQ(manager.signals_[0].path(), QStringLiteral("/org/zelt/Ondrava"));
    EXPECT_EQ(manager.signals_[0].arguments(), QList<QVariant>{5});
    // Told on the bus, the running manager is not started a second time.
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/manager/calls.txt")));

    // The computer was kept awake for this file, and let go.
    ASSERT_EQ(logind.calls.size(), 1u);
    EXPECT_EQ(logind.calls[0].arguments(),
              (QList<QVariant>{QStringLiteral("sleep"), QStringLiteral("Ondrava"),
                               QStringLiteral("Converting my clip, ü.avi"), QStringLiteral("block")}));
    EXPECT_FALSE(logind.Held(0));

    // The taskbar showed the readings and hid them at the end.
    ASSERT_GE(dock.signals_.size(), 2u);
    bool showedProgress = false;
    for (const QDBusMessage& update : dock.signals_) {
        EXPECT_EQ(update.arguments().value(0).toString(),
                  QStringLiteral("application://org.example.ondrava.Ondrava.desktop"));
        const QVariantMap properties = Properties(update);
        if (properties.value(QStringLiteral("progress-visible")).toBool()) {
            const double progress = properties.value(QStringLiteral("progress")).toDouble();
            EXPECT_GE(progress, 0.0);
            EXPECT_LE(progress, 1.0);
            showedProgress = showedProgress || progress > 0;
        }
    }
    EXPECT_TRUE(showedProgress);
    // The window is the active one here: the last word is the progress hidden, no call for attention.
    EXPECT_EQ(Properties(dock.signals_.back()),
              (QVariantMap{{QStringLiteral("progress-visible"), false}}));
}

TEST_F(DesktopBusEndToEndTest, TheComputerMaySleepAgainWhenTheRunEndsNotWhenTheProgramDoes)
{
    testsupport::SignalRecorder dock(session.Connect(), QStringLiteral("com.canonical.Unity.LauncherEntry"));
    testsupport::FakeLogind logind(system.Connect());
    // No download identifier, and the window stays open after the conversion.
    Start({QStringLiteral("-acm=auto")});
    ASSERT_TRUE(PumpUntil([&] { return logind.calls.size() == 1 && logind.Held(0); }, kRunTimeoutMs))
        << program.readAll().toStdString();
    const auto hiddenAgain = [&] {
        return !dock.signals_.empty() &&
               Properties(dock.signals_.back()).value(QStringLiteral("progress-visible"), true).toBool() == false;
    };
    ASSERT_TRUE(PumpUntil(hiddenAgain, kRunTimeoutMs)) << program.readAll().toStdString();
    EXPECT_TRUE(PumpUntil([&] { return !logind.Held(0); }, 10000)) << "the lock outlived the run";
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_TRUE(QFileInfo(Output()).size() > 0);
}

TEST_F(DesktopBusEndToEndTest, WithoutASessionBusTheManagerIsStartedAsBefore)
{
    // The store says Parvel runs, but there is no bus on which it could hear: it is started.
    const QString managerExe = root + QStringLiteral("/manager/parvel");
    QDir().mkpath(root + QStringLiteral("/manager"));
    testsupport::WriteScript(managerExe, test::kFakeManager);
    test::SetStoreValue(configHome, QStringLiteral("Parvel"), QStringLiteral("ApplicationHandle"),
                        QStringLiteral("4242"));
    test::SetStoreValue(configHome, QStringLiteral("Parvel"), QStringLiteral("ExeFile"), managerExe);
    Start({QStringLiteral("-acm=autoClose"), QStringLiteral("-fDID=7")}, false);
    ASSERT_TRUE(program.waitForFinished(kRunTimeoutMs)) << "the window did not close by itself";
    EXPECT_EQ(program.exitCode(), 0);
    const QString calls = root + QStringLiteral("/manager/calls.txt");
    EXPECT_TRUE(PumpUntil([&] { return testsupport::ReadFile(calls) == "-convcomplete=7\n"; }, 10000))
        << testsupport::ReadFile(calls).toStdString();
}

// An X server of the test's own, on a display number it picks itself; no window manager, so the
// program's window is never the active one.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        m_server.setStandardInputFile(QProcess::nullDevice());
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        if (!m_server.waitForStarted(10000))
            return;
        PumpUntil([&] { return m_server.canReadLine() || m_server.state() != QProcess::Running; }, 30000);
        const QByteArray number = m_server.readLine().trimmed();
        if (!number.isEmpty())
            m_display = QStringLiteral(":") + QString::fromLatin1(number);
    }
    ~PrivateDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_server.processId()), SIGTERM);
            if (!m_server.waitForFinished(10000)) {
                m_server.kill();
                m_server.waitForFinished(10000);
            }
        }
    }
    QString Display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

TEST_F(DesktopBusEndToEndTest, ARunEndingInTheBackgroundOffersTheFileOnTheDesktop)
{
    PrivateDisplay display;
    if (display.Display().isEmpty())
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    testsupport::FakeNotifications notifications(session.Connect());
    testsupport::FakeFileManager fileManager(session.Connect());
    testsupport::SignalRecorder dock(session.Connect(), QStringLiteral("com.canonical.Unity.LauncherEntry"));

    Start({QStringLiteral("-acm=auto")}, true, display.Display());
    ASSERT_TRUE(PumpUntil([&] { return !notifications.calls.empty(); }, kRunTimeoutMs))
        << program.readAll().toStdString();
    const QList<QVariant> args = notifications.calls.front().arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[4].toString(), QStringLiteral("Conversion completed"));
    EXPECT_EQ(args[5].toStringList(), (QStringList{QStringLiteral("open"), QStringLiteral("Open"),
                                                   QStringLiteral("show-in-folder"),
                                                   QStringLiteral("Show in folder")}));
    // The taskbar asked for attention at the end.
    ASSERT_TRUE(PumpUntil([&] {
        return !dock.signals_.empty() &&
               Properties(dock.signals_.back()).value(QStringLiteral("urgent")).toBool();
    }, 10000));

    // The user presses "Show in folder": the program, still running, asks the file manager.
    notifications.InvokeAction(notifications.LastId(), QStringLiteral("show-in-folder"));
    ASSERT_TRUE(PumpUntil([&] { return !fileManager.calls.empty(); }, 20000)) << program.readAll().toStdString();
    EXPECT_EQ(fileManager.calls[0].member(), QStringLiteral("ShowItems"));
    EXPECT_EQ(fileManager.calls[0].arguments().value(0).toStringList(),
              QStringList{QUrl::fromLocalFile(Output()).toString()});
    EXPECT_EQ(program.state(), QProcess::Running);

    // The user comes back to the window: the call for attention is withdrawn.
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    QProcess focus;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.Display());
    focus.setProcessEnvironment(env);
    focus.start(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                          QString::number(program.processId()), QStringLiteral("--name"), QStringLiteral("."),
                          QStringLiteral("windowfocus")});
    ASSERT_TRUE(focus.waitForStarted(10000));
    PumpUntil([&] { return focus.state() == QProcess::NotRunning; }, 20000);
    EXPECT_TRUE(PumpUntil([&] {
        return Properties(dock.signals_.back()) == QVariantMap{{QStringLiteral("urgent"), false}};
    }, 20000)) << focus.readAllStandardError().toStdString();
}

}  // namespace
