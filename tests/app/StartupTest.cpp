// Start-up and close of the main window: the settings it restores and stores, the start
// counter, the quiet update check, failures that stop start-up early, and the real program.
#include "StartupFixture.h"

#include "common/Error.h"
#include "i18n/Language.h"
#include "presets/DevicePresets.h"
#include "update/CheckUpdate.h"

#include <QDate>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QThread>

#include <functional>
#include <map>

using namespace ondrava;
using namespace ondrava::test;

namespace {

using Values = std::map<QString, QString>;

int Today()
{
    return int(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
}

// Every value of the settings file, as the file holds it.
Values SettingsFileValues()
{
    QSettings file(SettingsFile(), QSettings::IniFormat);
    Values values;
    for (const QString& key : file.allKeys())
        values[key] = file.value(key).toStringList().join(QStringLiteral(", "));
    return values;
}

}  // namespace

class StartupTest : public StartupFixture {
protected:
    void SetUp() override
    {
        StartupFixture::SetUp();
        LinkBuildData();
    }
};

TEST_F(StartupTest, RestoresTheStoredSettings)
{
    struct Case {
        const char* name;
        Values stored;
        int format;
        QString sizeText;
        int sizeIndex;
        int qualityType;
        int quality;
        bool sound;
        int page;
        int device;
    };
    const Case cases[] = {
        {"nothing stored", {}, 0, "Original", 0, 0, 8, true, 0, 0},
        {"every value",
         {{"IOutFormat", "3"}, {"IOutSize", "1280x720"}, {"IOutQualityType", "1"}, {"IOutQuality", "3"},
          {"SoundEnabled", "0"}, {"VideoPageIndex", "1"}, {"SelectedDeviceID", "5"}},
         3, "1280x720", 7, 1, 3, false, 1, 5},
        {"no format and a typed size", {{"IOutFormat", "-1"}, {"IOutSize", "1000x500"}}, -1, "1000x500", -1, 0, 8, true, 0, 0},
        {"size below the smallest", {{"IOutSize", "20x20"}}, 0, "Original", 0, 0, 8, true, 0, 0},
        {"size without x", {{"IOutSize", "big"}}, 0, "Original", 0, 0, 8, true, 0, 0},
        {"garbage everywhere",
         {{"IOutFormat", "abc"}, {"IOutSize", "x"}, {"IOutQualityType", "1 "}, {"IOutQuality", "high"},
          {"SoundEnabled", "yes"}, {"VideoPageIndex", "-"}, {"SelectedDeviceID", "five"}},
         0, "Original", 0, 0, 8, true, 0, 0},
        {"hexadecimal and out of range", {{"IOutQuality", "$A"}, {"IOutFormat", "12"}, {"VideoPageIndex", "7"}},
         -1, "Original", 0, 0, 10, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(SettingsFile());
        for (const auto& [key, value] : c.stored)
            Store(key, value);
        TMainForm& f = Start();
        EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join(u'|').toStdString();
        EXPECT_EQ(f.OutFormatComboBox.ItemIndex(), c.format);
        EXPECT_EQ(f.OutSizeComboBox.Text(), c.sizeText);
        EXPECT_EQ(f.OutSizeComboBox.ItemIndex(), c.sizeIndex);
        EXPECT_EQ(f.QualityComboBox.ItemIndex(), c.qualityType);
        EXPECT_EQ(f.QualityTrackBar.Position(), c.quality);
        EXPECT_EQ(f.QualityTrackBar.Hint(), QStringLiteral("Quality: %1").arg(c.quality));
        EXPECT_EQ(f.SoundEnabled, c.sound);
        EXPECT_EQ(f.VideoPageControl.ActivePageIndex(), c.page);
        EXPECT_EQ(f.SelectedDeviceID, c.device);
        EXPECT_TRUE(f.SameAspectRationPMenu.Checked());
        // The size box's text goes back to the store at once.
        EXPECT_EQ(Stored(QStringLiteral("IOutSize")), c.sizeText);
        EXPECT_EQ(Stored(QStringLiteral("Build")), QStringLiteral("37"));
        Close();
    }
}

TEST_F(StartupTest, PreparesTheFoldersFlagsAndObjects)
{
    Store(QStringLiteral("Build"), QStringLiteral("36"));
    TMainForm& f = Start();
    EXPECT_EQ(Stored(QStringLiteral("Build")), QStringLiteral("37"));
    EXPECT_EQ(f.ProgramDir, programDir.path() + QLatin1Char('/'));
    EXPECT_EQ(f.SoundDir, f.ProgramDir + QStringLiteral("Sounds/"));
    EXPECT_EQ(f.AppDataDir, qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Ondrava/"));
    EXPECT_TRUE(QFileInfo(f.AppDataDir).isDir());
    EXPECT_FALSE(f.StopConvBitBtn.Enabled());
    EXPECT_FALSE(f.StopConvFlag || f.CloseOnCompleteFlag || f.isAutoMode);
    EXPECT_TRUE(f.isFirstEnableOutBox);
    EXPECT_EQ(f.ConvertForPV_DID, 0);
    ASSERT_TRUE(f.Language && f.DevicePresets && f.MyCheckUpdate && f.MyReg);
    EXPECT_GT(f.DevicePresets->Count(), 0);
    EXPECT_EQ(f.DeviceButtonsPanel.Buttons.size(), size_t(f.DevicePresets->Count()));
    EXPECT_EQ(f.MyCheckUpdate->currVersion, QStringLiteral("0.7.1.37"));
    EXPECT_EQ(f.LNGA[3], QStringLiteral("Converting..."));
}

TEST_F(StartupTest, CountsStartsIntoTheFirstUpdateQuery)
{
    struct Case {
        const char* name;
        Values stored;
        QString url;
        QString inmb;  // afterwards
    };
    const QString query = QStringLiteral("http://127.0.0.1:9/download/update.php");
    const Case cases[] = {
        {"first start", {}, query + "?i=1", "1"},
        {"counting on", {{"inmb", "41"}}, query + "?i=42", "42"},
        {"garbled count", {{"inmb", "4x"}}, query + "?i=1", "1"},
        {"answer pending", {{"atinmb", "0"}, {"inmb", "2"}}, query + "?i=3", "3"},
        {"site has answered", {{"atinmb", "1"}, {"inmb", "41"}}, query, "41"},
        {"site has answered, no count", {{"atinmb", "1"}}, query, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(SettingsFile());
        for (const auto& [key, value] : c.stored)
            Store(key, value);
        TMainForm& f = Start();
        ASSERT_TRUE(f.MyCheckUpdate);
        EXPECT_EQ(f.MyCheckUpdate->updateInfoURL, c.url);
        EXPECT_EQ(Stored(QStringLiteral("inmb")), c.inmb);
        Close();
    }
}

TEST_F(StartupTest, ArmsTheQuietUpdateCheckThreeDaysAfterTheLastNotice)
{
    struct Case {
        const char* name;
        QString lastDate;  // empty: none stored
        bool armed;
    };
    const Case cases[] = {
        {"never", {}, true},
        {"today", QString::number(Today()), false},
        {"two days ago", QString::number(Today() - 2), false},
        {"three days ago", QString::number(Today() - 3), true},
        {"garbled", QStringLiteral("yesterday"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(SettingsFile());
        if (!c.lastDate.isEmpty())
            Store(QStringLiteral("LastFUDate"), c.lastDate);
        EXPECT_EQ(Start().NeedStartFastUpdate, c.armed);
        Close();
    }
}

// Without language texts nothing runs the output rules during start-up, so the size list
// still remembers its first item when the source box first changes; a restored size must not
// fall back to it.
TEST_F(StartupTest, RestoredSizeSurvivesTheFirstEnablingWithoutLanguage)
{
    QFile::remove(ProgramPath(QStringLiteral("Languages")));
    Store(QStringLiteral("IOutFormat"), QStringLiteral("0"));
    Store(QStringLiteral("IOutSize"), QStringLiteral("1280x720"));
    TMainForm& f = Start();
    f.SourceFilenameEditChange();
    EXPECT_EQ(f.OutSizeComboBox.Text(), QStringLiteral("1280x720"));
    Close();
    EXPECT_EQ(Stored(QStringLiteral("IOutSize")), QStringLiteral("1280x720"));
}

TEST_F(StartupTest, CloseStoresTheWindowAndRestartRestoresIt)
{
    TMainForm& f = Start();
    f.OutFormatComboBox.UserSelect(5);
    f.OutSizeComboBox.UserType(QStringLiteral("800x600"));
    f.QualityComboBox.UserSelect(1);
    f.QualityTrackBar.UserMove(4);
    f.SoundActionExecute();
    f.VideoPageControl.SetActivePageIndex(1);
    f.SelectedDeviceID = 2;
    Close();
    EXPECT_EQ(Stored(QStringLiteral("IOutFormat")), QStringLiteral("5"));
    EXPECT_EQ(Stored(QStringLiteral("IOutSize")), QStringLiteral("800x600"));
    EXPECT_EQ(Stored(QStringLiteral("IOutQualityType")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("IOutQuality")), QStringLiteral("4"));
    EXPECT_EQ(Stored(QStringLiteral("SoundEnabled")), QStringLiteral("0"));
    EXPECT_EQ(Stored(QStringLiteral("VideoPageIndex")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("DevPageScr")), QStringLiteral("0"));
    EXPECT_EQ(Stored(QStringLiteral("SelectedDeviceID")), QStringLiteral("2"));

    TMainForm& again = Start();
    EXPECT_EQ(again.OutFormatComboBox.ItemIndex(), 5);
    EXPECT_EQ(again.OutSizeComboBox.Text(), QStringLiteral("800x600"));
    EXPECT_EQ(again.QualityTrackBar.Position(), 4);
    EXPECT_FALSE(again.SoundEnabled);
    EXPECT_EQ(again.SelectedDeviceID, 2);
}

TEST_F(StartupTest, CloseKeepsAStoredDeviceWhenNoneIsChosenAndStoresNothingAfterAnAutomaticClose)
{
    Store(QStringLiteral("SelectedDeviceID"), QStringLiteral("0"));
    TMainForm& f = Start();
    f.OutFormatComboBox.UserSelect(2);
    Store(QStringLiteral("SelectedDeviceID"), QStringLiteral("7"));  // another instance's choice
    Close();
    EXPECT_EQ(Stored(QStringLiteral("IOutFormat")), QStringLiteral("2"));
    EXPECT_EQ(Stored(QStringLiteral("SelectedDeviceID")), QStringLiteral("7"));

    TMainForm& automatic = Start();
    automatic.OutFormatComboBox.UserSelect(9);
    automatic.AutoTimer.SetTag(4);
    const Values before = SettingsFileValues();
    Close();
    EXPECT_EQ(SettingsFileValues(), before);
}

// A value of another type than text stops start-up at the step that reads it: the user sees
// the error, the window stays usable with what was made, and nothing stored is lost.
TEST_F(StartupTest, AValueOfAnotherTypeStopsStartUpWithoutLosingStoredSettings)
{
    struct Case {
        const char* key;
        bool reported;  // the start counter's failures are not worth a message
    };
    const Case cases[] = {
        {"Build", true},          {"Language", true},       {"atinmb", false},        {"inmb", false},
        {"IOutFormat", true},     {"IOutSize", true},       {"IOutQualityType", true}, {"IOutQuality", true},
        {"SoundEnabled", true},   {"VideoPageIndex", true}, {"SelectedDeviceID", true}, {"LastFUDate", true},
    };
    const QByteArray userValues = "IOutFormat=3\nIOutSize=640x480\nIOutQualityType=1\nIOutQuality=2\n"
                                  "SoundEnabled=0\nVideoPageIndex=1\nSelectedDeviceID=4\nDevPageScr=0\n"
                                  "LastFUDate=1\nLanguage=Russian\nBuild=37\ninmb=3\natinmb=0\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        services.errors.clear();
        QByteArray lines;
        for (const QByteArray& line : userValues.split('\n')) {
            if (!line.isEmpty() && !line.startsWith(QByteArray(c.key) + '='))
                lines += line + '\n';
        }
        WriteSettingsFile(lines + c.key + "=1, 2\n");
        const Values before = SettingsFileValues();

        // Closed at once, the window gives back what it could read.
        Start();
        Close();
        const auto settled = [&c](Values values) {
            // The start counter moves on by design.
            for (const char* moving : {"inmb", "Build"}) {
                if (QLatin1String(moving) != QLatin1String(c.key))
                    values.erase(QLatin1String(moving));
            }
            return values;
        };
        EXPECT_EQ(settled(SettingsFileValues()), settled(before));

        services.errors.clear();
        TMainForm& f = Start();
        if (c.reported)
            EXPECT_EQ(services.errors, QStringList{QStringLiteral("Invalid data type for '%1'").arg(QLatin1String(c.key))});
        else
            EXPECT_TRUE(services.errors.isEmpty());

        // Whatever was made, the window's commands work; an error they raise goes to the
        // error box as the view shows it, never a crash.
        const auto asTheViewDoes = [&](const std::function<void()>& command) {
            try {
                command();
            } catch (const Error& e) {
                services.ShowError(e.message());
            }
        };
        f.NeedStartFastUpdate = false;  // no update query leaves the test
        f.SelectedDeviceID = 0;         // Convert refuses instead of running the tool
        const std::function<void()> commands[] = {
            [&] { f.ViewMenuItemClick(&f.ViewMenuItem); },
            [&] { f.VideoPageControl.UserSelectPage(1); },
            [&] { f.ConvertBitBtnClick(); },
            [&] { f.VideoPageControl.UserSelectPage(0); },
            [&] { f.OutFormatComboBox.UserSelect(1); },
            [&] { f.QualityComboBox.UserSelect(1); },
            [&] { f.QualityTrackBar.UserMove(3); },
            [&] { f.SourceFilenameEdit.UserType(ProgramPath(QStringLiteral("presets.xml"))); },
            [&] { f.SoundActionExecute(); },
            [&] { f.ContentsActionExecute(); },
            [&] { f.HomePageActionExecute(); },
            [&] { f.ShowUpdateNotice(); },
            [&] {
                if (!f.MyCheckUpdate)
                    f.CheckUpdateActionExecute();
            },
            [&] {
                for (const auto& button : f.DeviceButtonsPanel.Buttons)
                    button->UserClick();
            },
            [&] {
                for (const auto& entry : f.LanguageMenuItem ? f.LanguageMenuItem->Items : f.ViewMenuItem.Items) {
                    if (entry->Caption() == QLatin1String("Russian"))
                        entry->UserClick();
                }
            },
        };
        for (const auto& command : commands)
            asTheViewDoes(command);
        Close();
    }
}

TEST_F(StartupTest, MissingOrUnreadableDataFiles)
{
    struct Case {
        const char* name;
        std::function<void(const QString& dir)> prepare;  // dir: the program folder
        bool presetsError;   // start-up stops at the catalogue
        bool languageError;  // reported, start-up goes on
    };
    const Case cases[] = {
        {"no catalogue", [](const QString& dir) { QFile::remove(dir + QStringLiteral("/presets.xml")); }, false, false},
        // Permissions mean nothing to root; reading /proc/self/mem from its start fails for anyone.
        {"catalogue cannot be read",
         [](const QString& dir) {
             QFile::remove(dir + QStringLiteral("/presets.xml"));
             QFile::link(QStringLiteral("/proc/self/mem"), dir + QStringLiteral("/presets.xml"));
         },
         true, false},
        {"no language folder", [](const QString& dir) { QFile::remove(dir + QStringLiteral("/Languages")); }, false, false},
        {"language folder is a file",
         [](const QString& dir) {
             QFile::remove(dir + QStringLiteral("/Languages"));
             testsupport::WriteFile(dir + QStringLiteral("/Languages"), "x");
         },
         false, false},
        {"language file cannot be read",
         [](const QString& dir) {
             QFile::remove(dir + QStringLiteral("/Languages"));
             QDir().mkpath(dir + QStringLiteral("/Languages"));
             QFile::link(QStringLiteral("/proc/self/mem"), dir + QStringLiteral("/Languages/English.lng"));
         },
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(programDir.path()).removeRecursively();
        QDir().mkpath(programDir.path());
        LinkBuildData();
        c.prepare(programDir.path());
        services.errors.clear();
        QFile::remove(SettingsFile());
        Store(QStringLiteral("IOutFormat"), QStringLiteral("4"));

        TMainForm& f = Start();
        EXPECT_EQ(services.errors.size(), (c.presetsError || c.languageError) ? 1 : 0) << services.errors.join(u'|').toStdString();
        EXPECT_EQ(bool(f.DevicePresets), !c.presetsError);
        EXPECT_EQ(bool(f.MyCheckUpdate), !c.presetsError);
        EXPECT_EQ(f.OutFormatComboBox.ItemIndex(), c.presetsError ? -1 : 4);
        ASSERT_TRUE(f.Language);
        EXPECT_EQ(f.CurrentLanguage, QStringLiteral("English"));
        if (c.presetsError) {
            EXPECT_TRUE(f.DeviceButtonsPanel.Buttons.empty());
        } else if (c.name != std::string("no catalogue")) {
            // Without language texts every caption is blank, yet the window works on.
            EXPECT_EQ(f.N1.Caption(), QString());
            EXPECT_EQ(f.LNGA[3], QString());
            ASSERT_TRUE(f.LanguageMenuItem);
            EXPECT_TRUE(f.LanguageMenuItem->Items.empty());
        }
        f.NeedStartFastUpdate = false;
        f.VideoPageControl.UserSelectPage(1);
        f.ConvertBitBtnClick();
        Close();
        // A start-up that stopped early leaves the stored choice alone.
        EXPECT_EQ(Stored(QStringLiteral("IOutFormat")), QStringLiteral("4"));
    }
}

// The real program: it starts offscreen over private folders, shows its window, and stores
// the settings when it is asked to end.
TEST(ProgramEntry, StartsAndStoresTheSettingsWhenAskedToEnd)
{
    QTemporaryDir homes;
    ASSERT_TRUE(homes.isValid());
    const QString config = homes.path() + QStringLiteral("/config");
    const QString runtime = homes.path() + QStringLiteral("/runtime");
    QDir().mkpath(config + QStringLiteral("/Zelt"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString settings = config + QStringLiteral("/Zelt/Ondrava.conf");
    testsupport::WriteFile(settings, "[General]\nIOutFormat=3\nIOutQuality=5\ninmb=9\n");

    const QProcessEnvironment env =
        testsupport::PrivateProgramEnvironment(config, homes.path() + QStringLiteral("/data"), runtime);
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(testsupport::BuildProgram(), {});
    ASSERT_TRUE(program.waitForStarted(10000));

    // Start-up has come far enough once the start counter moved on and the size went back to
    // the store (a later step of start-up than the counter).
    QElapsedTimer waited;
    waited.start();
    const auto startedUp = [&] {
        const QByteArray stored = testsupport::ReadFile(settings);
        return stored.contains("inmb=10") && stored.contains("IOutSize=");
    };
    while (program.state() == QProcess::Running && !startedUp() && waited.elapsed() < 60000)
        QThread::msleep(100);
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
    EXPECT_TRUE(testsupport::ReadFile(settings).contains("IOutSize=Original"));
    EXPECT_FALSE(testsupport::ReadFile(settings).contains("SoundEnabled"));
    QThread::msleep(500);  // let the window show

    program.terminate();  // the signal a session sends at its end, to this process only
    const bool ended = program.waitForFinished(30000);
    if (!ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    QSettings stored(settings, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("IOutFormat")).toString(), QStringLiteral("3"));
    EXPECT_EQ(stored.value(QStringLiteral("IOutQuality")).toString(), QStringLiteral("5"));
    EXPECT_EQ(stored.value(QStringLiteral("SoundEnabled")).toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value(QStringLiteral("VideoPageIndex")).toString(), QStringLiteral("0"));
    EXPECT_EQ(stored.value(QStringLiteral("Build")).toString(), QStringLiteral("37"));
}
