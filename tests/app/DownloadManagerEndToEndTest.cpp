// The program as a download manager uses it: started on a downloaded file with automatic mode,
// it converts, leaves the output's path in the manager's store, starts the manager with the
// completion option and closes by itself, leaving the user's own settings alone.
#include "CommandLineFixture.h"

#include "support/TestSupport.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace ondrava;
using testsupport::CopyProgramDir;
using testsupport::ReadFile;
using testsupport::WriteFile;
using testsupport::WriteScript;

// The user's own settings, as they stood before the run.
const char* const kUserSettings[][2] = {
    {"IOutFormat", "3"},     {"IOutSize", "1280x720"},  {"IOutQuality", "6"},
    {"IOutQualityType", "1"}, {"SoundEnabled", "0"},    {"VideoPageIndex", "1"},
    {"SelectedDeviceID", "2"}, {"DevPageScr", "0"},     {"Language", "English"},
};

TEST(DownloadManagerEndToEndTest, ConvertsTellsTheManagerAndCloses)
{
    const struct {
        const char* name;
        QStringList extraArgs;
        const char* manager;
    } cases[] = {
        {"Parvel", {}, "Parvel"},
        {"Tessly", {"-app=tsy"}, "Tessly"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const QString root = tmp.path();
        const QString programDir = root + QStringLiteral("/program");
        CopyProgramDir(testsupport::BuildProgramDir(), programDir);
        const QString programName = QFileInfo(testsupport::BuildProgram()).fileName();
        const QFileInfo executable(programDir + QLatin1Char('/') + programName);
        ASSERT_TRUE(executable.isFile() && executable.isExecutable()) << "no program in the build";
        WriteScript(programDir + QStringLiteral("/ffmpeg"), test::kFakeTool);

        const QString configHome = root + QStringLiteral("/config");
        const QString manager = root + QStringLiteral("/manager/") + QLatin1String(c.manager);
        QDir().mkpath(root + QStringLiteral("/manager"));
        WriteScript(manager, test::kFakeManager);
        test::SetStoreValue(configHome, QLatin1String(c.manager), QStringLiteral("ExeFile"), manager);
        // The quiet update check is not due, so the run stays on this machine.
        const int today = int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
        test::SetStoreValue(configHome, QStringLiteral("Ondrava"), QStringLiteral("LastFUDate"),
                            QString::number(today));
        for (const auto& s : kUserSettings)
            test::SetStoreValue(configHome, QStringLiteral("Ondrava"), QLatin1String(s[0]),
                                QLatin1String(s[1]));

        const QString clip = root + QStringLiteral("/my clip.avi");
        WriteFile(clip, "a downloaded video");

        const QProcessEnvironment env =
            testsupport::PrivateProgramEnvironment(configHome, root + QStringLiteral("/data"), root);
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setStandardInputFile(QProcess::nullDevice());
        program.start(executable.filePath(),
                      QStringList{QStringLiteral("-inName=") + clip, QStringLiteral("-format=mp4"),
                                  QStringLiteral("-acm=autoClose"), QStringLiteral("-fDID=5")} +
                          c.extraArgs);
        ASSERT_TRUE(program.waitForStarted(10000));
        const bool ended = program.waitForFinished(60000);
        if (!ended) {
            program.kill();
            program.waitForFinished(5000);
        }
        ASSERT_TRUE(ended) << "the window did not close by itself: "
                           << program.readAll().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAll().toStdString();

        const QString output = root + QStringLiteral("/my clip.mp4");
        EXPECT_EQ(ReadFile(output), QByteArray("converted"));
        EXPECT_EQ(test::StoreValue(configHome, QLatin1String(c.manager), QStringLiteral("conv_for_5")),
                  output);

        // The manager runs detached: wait a little for its record.
        const QString calls = root + QStringLiteral("/manager/calls.txt");
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(calls) && waited.elapsed() < 10000)
            QThread::msleep(50);
        QThread::msleep(100);
        EXPECT_EQ(ReadFile(calls), QByteArray("-convcomplete=5\n"));

        for (const auto& s : kUserSettings)
            EXPECT_EQ(test::StoreValue(configHome, QStringLiteral("Ondrava"), QLatin1String(s[0])),
                      QLatin1String(s[1]))
                << s[0];
        const QString otherManager = QLatin1String(c.manager) == QLatin1String("Parvel")
                                         ? QStringLiteral("Tessly")
                                         : QStringLiteral("Parvel");
        EXPECT_FALSE(QFileInfo::exists(configHome + QStringLiteral("/Zelt/") + otherManager +
                                       QStringLiteral(".conf")));
    }
}

}  // namespace
