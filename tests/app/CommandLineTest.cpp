// The options a download manager or a script gives on the command line, automatic mode's timer
// and the notice to the calling program.
#include "CommandLineFixture.h"

#include "app/RegZelt.h"
#include "platform/CallerLink.h"
#include "platform/Shell.h"
#include "presets/DevicePresets.h"
#include "support/TestSupport.h"
#include "window/FakeFormServices.h"
#include "window/MainF.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>

// Readable failure output for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using namespace ondrava;
using testsupport::WriteFile;
using testsupport::WriteScript;

namespace {

// The stores of this test program live in a folder of their own, set before the first settings
// object reads the environment.
struct PrivateHome {
    PrivateHome()
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toLocal8Bit());
    }
    QTemporaryDir dir;
};
const PrivateHome home;

QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }

class CommandLineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    test::FakeFormServices services;
    RecordingShell shell;
    RecordingCallerLink callerLink;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Cases of a table share the folder: each starts from an empty one.
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QDir(ConfigHome() + QStringLiteral("/Zelt")).removeRecursively();
        shell.calls.clear();
        SetShell(&shell);
        callerLink = RecordingCallerLink();
        SetCallerLink(&callerLink);
        form = std::make_unique<TMainForm>(services);
        form->ProgramDir = dir.path() + QLatin1Char('/');
        form->SoundDir = form->ProgramDir + QStringLiteral("Sounds/");
        form->AppDataDir = form->ProgramDir;
        WriteFile(Path("presets.xml"),
                  "<presets>\n"
                  "<device><id>5</id><name>Pocket Phone</name><params>-f mp4</params>"
                  "<extension>mp4</extension></device>\n"
                  "<device><id>9</id><name>Box</name><params>-f matroska</params>"
                  "<extension>mkv</extension></device>\n"
                  "</presets>\n");
        form->DevicePresets = std::make_unique<TDevicePresets>(Path("presets.xml"));
        // As start-up leaves it.
        form->SameAspectRationPMenu.SetChecked(true);
    }
    void TearDown() override
    {
        form.reset();
        SetCallerLink(nullptr);
        SetShell(nullptr);
    }
    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString MakeFile(const QString& name)
    {
        WriteFile(Path(name), "video");
        return Path(name);
    }
    void Apply(const QStringList& args)
    {
        form->Arguments = args;
        form->ApplyCommandLineOptions();
    }
    int FormatIndex(const char* format) const
    {
        return int(form->OutFormatComboBox.Items().indexOf(QLatin1String(format)));
    }
};

TEST_F(CommandLineTest, ParameterValues)
{
    form->Arguments = {QStringLiteral("-format=mkv"), QStringLiteral("-Format=avi"),
                       QStringLiteral("-format=mp4"), QStringLiteral("-inName=/tmp/a=b c \"d\" ёж.avi"),
                       QStringLiteral("-acm"), QStringLiteral("-applet=tsy")};
    const struct {
        const char* key;
        QString value;
    } cases[] = {
        {"-format=", QStringLiteral("mkv")},  // the first occurrence wins
        {"-Format=", QStringLiteral("avi")},  // keys are case-sensitive
        {"-inName=", QStringLiteral("/tmp/a=b c \"d\" ёж.avi")},  // after the first "=" only
        {"-acm=", QString()},    // "-acm" alone does not begin with the key
        {"-acm", QString()},     // begins with it, but has no "="
        {"-app=", QString()},    // "-applet=" is another option
        {"-quality=", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(form->GetParamValue(QLatin1String(c.key)), c.value);
    }
    form->Arguments.clear();
    EXPECT_TRUE(form->GetParamValue(QStringLiteral("-format=")).isEmpty());
}

TEST_F(CommandLineTest, FormatOrDevice)
{
    const struct {
        const char* name;
        QStringList args;
        int expectPage;
        int expectFormat;  // -1: no selection
        int expectDevice;
    } cases[] = {
        {"format over a stored device page", {"-format=mp4"}, 0, 0, 5},
        {"any letter case", {"-format=fLaC"}, 0, 11, 5},
        {"unknown format", {"-format=ogg"}, 0, -1, 5},
        {"format wins over gadget", {"-format=mkv", "-gadget=box"}, 0, 3, 5},
        {"gadget", {"-gadget=BOX"}, 1, 2, 9},
        {"unknown gadget keeps the stored device", {"-gadget=toaster"}, 1, 2, 5},
        {"empty format looks at the gadget", {"-format=", "-gadget=box"}, 1, 2, 9},
        {"repeated: the first one counts", {"-format=avi", "-format=mp4", "-bogus=1"}, 0, 5, 5},
        {"neither", {"-bogus=mp4"}, 1, 2, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        // Stored: the device page with device 5, format FLV.
        form->VideoPageControl.SetActivePageIndex(1);
        form->OutFormatComboBox.SetItemIndex(2);
        form->SelectedDeviceID = 5;
        Apply(c.args);
        EXPECT_EQ(form->VideoPageControl.ActivePageIndex(), c.expectPage);
        EXPECT_EQ(form->OutFormatComboBox.ItemIndex(), c.expectFormat);
        EXPECT_EQ(form->SelectedDeviceID, c.expectDevice);
    }
}

TEST_F(CommandLineTest, Resolution)
{
    const struct {
        QStringList args;
        QString expectText;
        int expectIndex;
    } cases[] = {
        {{"-resolution=1920x1080"}, QStringLiteral("1920x1080"), 8},
        {{"-resolution=100x50"}, QStringLiteral("100x50"), -1},  // typed size, judged at Convert
        {{"-resolution=10000x10000"}, QStringLiteral("Исходный"), 0},
        {{"-resolution=720"}, QStringLiteral("Исходный"), 0},
        {{"-resolution=640X480"}, QStringLiteral("Исходный"), 0},
        {{}, QStringLiteral("1280x720"), 7},  // absent: the stored size stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SetUp();
        form->OutSizeComboBox.SetText(QStringLiteral("1280x720"));
        Apply(c.args + QStringList{QStringLiteral("-bogus")});
        EXPECT_EQ(form->OutSizeComboBox.Text(), c.expectText);
        EXPECT_EQ(form->OutSizeComboBox.ItemIndex(), c.expectIndex);
    }
}

TEST_F(CommandLineTest, ResolutionSurvivesTheSourceComingAlive)
{
    const QString clip = MakeFile(QStringLiteral("clip.avi"));
    Apply({QStringLiteral("-format=mp4"), QStringLiteral("-resolution=1920x1080"),
           QStringLiteral("-inName=") + clip});
    EXPECT_TRUE(form->OutSizeComboBox.Enabled());
    EXPECT_EQ(form->OutSizeComboBox.Text(), QStringLiteral("1920x1080"));
}

TEST_F(CommandLineTest, SourceFile)
{
    const QString clip = Path(QStringLiteral("clip.avi"));
    const QString odd = Path(QStringLiteral("мой \"клип\" 1.AVI"));
    const struct {
        const char* name;
        QStringList args;
        QString expectSource;
        QString expectOutput;
    } cases[] = {
        {"named with a format", {"-format=mp4", "-inName=" + clip}, clip, Path("clip.mp4")},
        {"named with a device", {"-gadget=box", "-inName=" + clip}, clip, Path("clip(Box).mkv")},
        {"blanks, quotes and other letters", {"-format=mkv", "-inName=" + odd}, odd,
         Path("мой \"клип\" 1.mkv")},
        {"a bare path first", {clip, "-format=webm"}, clip, Path("clip.webm")},
        {"a bare path not first", {"-format=webm", clip}, QString(), QString()},
        {"-inName= wins over the bare path", {odd, "-inName=" + clip, "-format=mp4"}, clip,
         Path("clip.mp4")},
        {"a missing file", {"-format=mp4", "-inName=" + Path("gone.avi")}, QString(), QString()},
        {"a folder", {"-format=mp4", "-inName=" + dir.path()}, QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        MakeFile(QStringLiteral("clip.avi"));
        MakeFile(QStringLiteral("мой \"клип\" 1.AVI"));
        form->VideoPageControl.SetActivePageIndex(0);
        form->OutFormatComboBox.SetItemIndex(0);
        Apply(c.args);
        EXPECT_EQ(form->SourceFilenameEdit.Text(), c.expectSource);
        EXPECT_EQ(form->OutVideoFileBEdit.Text(), c.expectOutput);
        if (!c.expectSource.isEmpty()) {
            EXPECT_TRUE(form->ConvertBitBtn.Enabled());
        }
    }
}

TEST_F(CommandLineTest, OnlyAFilePathOpensItWithoutAutomaticMode)
{
    const QString clip = MakeFile(QStringLiteral("clip.avi"));
    form->QualityComboBox.SetItemIndex(1);
    form->OutFormatComboBox.SetItemIndex(0);
    Apply({clip});
    EXPECT_EQ(form->SourceFilenameEdit.Text(), clip);
    EXPECT_EQ(form->OutVideoFileBEdit.Text(), Path("clip.mp4"));
    EXPECT_EQ(form->QualityComboBox.ItemIndex(), 0);
    EXPECT_FALSE(form->isAutoMode);
    EXPECT_FALSE(form->AutoTimer.Enabled());
    EXPECT_EQ(form->ConvertForAppName, QStringLiteral("Parvel"));
    EXPECT_EQ(form->ConvertForPV_DID, 0);
}

TEST_F(CommandLineTest, QualityAndProportions)
{
    const struct {
        QStringList args;
        int expectIndex;
        int expectPosition;
        bool expectKeepProportions;
    } cases[] = {
        {{"-quality=12"}, 1, 10, true},
        {{"-quality=0"}, 1, 0, true},
        {{"-quality=$A"}, 1, 10, true},
        {{"-quality=-1"}, 0, 3, true},
        {{"-quality=high"}, 0, 3, true},
        {{"-quality=5 "}, 0, 3, true},
        {{}, 0, 3, true},
        {{"-sameaspect=0"}, 0, 3, false},
        {{"-sameaspect=1"}, 0, 3, true},
        {{"-sameaspect=00"}, 0, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SetUp();
        form->QualityComboBox.SetItemIndex(1);  // stored: "other" at 3
        form->QualityTrackBar.SetPosition(3);
        Apply(c.args + QStringList{QStringLiteral("-x")});
        EXPECT_EQ(form->QualityComboBox.ItemIndex(), c.expectIndex);
        EXPECT_EQ(form->QualityTrackBar.Position(), c.expectPosition);
        EXPECT_EQ(form->SameAspectRationPMenu.Checked(), c.expectKeepProportions);
    }
}

TEST_F(CommandLineTest, AutomaticModeAndCallingProgram)
{
    const struct {
        QStringList args;
        bool autoMode;
        int tag;
        bool closeOnComplete;
        int id;
        const char* app;
    } cases[] = {
        {{"-acm=auto"}, true, 1, false, 0, "Parvel"},
        {{"-acm=autoSilent"}, true, 1, false, 0, "Parvel"},
        {{"-acm=autoClose", "-fDID=5"}, true, 1, true, 5, "Parvel"},
        {{"-acm=later", "-fDID=7", "-app=tsy"}, true, 0, false, 7, "Tessly"},
        {{"-acm=AUTO"}, true, 0, false, 0, "Parvel"},
        {{"-acm=", "-fDID=0x10", "-app=TSY"}, false, 0, false, 16, "Parvel"},
        {{"-fDID=five", "-app="}, false, 0, false, 0, "Parvel"},
        {{"-fDID=-3", "-app=tsy", "-app=pvl"}, false, 0, false, -3, "Tessly"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SetUp();
        Apply(c.args);
        EXPECT_EQ(form->isAutoMode, c.autoMode);
        EXPECT_EQ(form->AutoTimer.Tag(), c.tag);
        EXPECT_EQ(form->AutoTimer.Enabled(), c.tag == 1);
        EXPECT_EQ(form->CloseOnCompleteFlag, c.closeOnComplete);
        EXPECT_EQ(form->ConvertForPV_DID, c.id);
        EXPECT_EQ(form->ConvertForAppName, QLatin1String(c.app));
    }
}

TEST_F(CommandLineTest, AutomaticStartCountsItsSecondFromTheProgramStart)
{
    using namespace std::chrono;
    // How long ago the program started when the command line is read, and the most the first
    // tick may still be away. The interval stays a second for every later start (the close
    // after a conversion).
    const struct {
        const char* name;
        std::optional<milliseconds> startedAgo;
        int atLeast;
        int atMost;
    } cases[] = {
        {"no start known: a whole second", std::nullopt, 900, 1000},
        {"just started", milliseconds(0), 900, 1000},
        {"window built in 300 ms", milliseconds(300), 0, 700},
        {"start-up longer than the second: at once", milliseconds(5000), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.startedAgo)
            form->ProgramStart = steady_clock::now() - *c.startedAgo;
        Apply({QStringLiteral("-acm=auto")});
        ASSERT_TRUE(form->AutoTimer.Enabled());
        EXPECT_GE(form->AutoTimer.RemainingMs(), c.atLeast);
        EXPECT_LE(form->AutoTimer.RemainingMs(), c.atMost);
        EXPECT_EQ(form->AutoTimer.Interval(), 1000);
        form->AutoTimer.SetEnabled(false);
        form->AutoTimer.SetEnabled(true);
        EXPECT_GT(form->AutoTimer.RemainingMs(), 900);
        form->AutoTimer.SetEnabled(false);
    }
}

// ---- The timer and the notice, with a fake tool that converts ----

class AutomaticRunTest : public CommandLineTest {
protected:
    QString clip;
    QString manager;

    void SetUp() override
    {
        CommandLineTest::SetUp();
        WriteScript(Path("ffmpeg"), test::kFakeTool);
        QDir().mkpath(Path("manager"));
        manager = Path("manager/parvel");
        WriteScript(manager, test::kFakeManager);
        clip = MakeFile(QStringLiteral("clip.avi"));
    }
    void TearDown() override
    {
        qunsetenv("FAKE_TOOL_FAIL");
        CommandLineTest::TearDown();
    }
    int StartDetachedCalls() const
    {
        int n = 0;
        for (const auto& call : shell.calls)
            n += call.kind == QLatin1String("StartDetached");
        return n;
    }
};

TEST_F(AutomaticRunTest, TimerTags)
{
    // 0: nothing happens.
    form->AutoTimerTimer(&form->AutoTimer);
    EXPECT_EQ(form->AutoTimer.Tag(), 0);
    EXPECT_EQ(services.closeRequests, 0);

    // 4: the window closes and the tag stays, so that closing does not store the settings.
    form->AutoTimer.SetTag(4);
    form->AutoTimer.SetEnabled(true);
    form->AutoTimerTimer(&form->AutoTimer);
    EXPECT_FALSE(form->AutoTimer.Enabled());
    EXPECT_EQ(form->AutoTimer.Tag(), 4);
    EXPECT_EQ(services.closeRequests, 1);
}

TEST_F(AutomaticRunTest, AutomaticConversion)
{
    const struct {
        const char* name;
        QStringList args;
        bool toolFails;
        bool expectOutput;
        int expectCloses;
        int expectTag;
        bool expectCloseFlag;
    } cases[] = {
        {"auto", {"-acm=auto"}, false, true, 0, 0, false},
        {"autoClose", {"-acm=autoClose"}, false, true, 1, 4, false},
        {"autoClose, tool fails", {"-acm=autoClose"}, true, false, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        services.closeRequests = 0;
        if (c.toolFails)
            qputenv("FAKE_TOOL_FAIL", "1");
        // An output already there: automatic mode picks a free name instead of asking.
        MakeFile(QStringLiteral("clip.mp4"));
        Apply(c.args + QStringList{QStringLiteral("-format=mp4"), QStringLiteral("-inName=") + clip});
        ASSERT_EQ(form->AutoTimer.Tag(), 1);
        form->AutoTimerTimer(&form->AutoTimer);
        EXPECT_TRUE(services.messages.isEmpty()) << services.messages.join('|').toStdString();
        EXPECT_EQ(QFileInfo::exists(Path("clip[1].mp4")), c.expectOutput);
        EXPECT_EQ(services.closeRequests, c.expectCloses);
        EXPECT_EQ(form->AutoTimer.Tag(), c.expectTag);
        EXPECT_EQ(form->CloseOnCompleteFlag, c.expectCloseFlag);
        qunsetenv("FAKE_TOOL_FAIL");
    }
}

TEST_F(AutomaticRunTest, RefusedAutomaticConversionLeavesTheWindowOpen)
{
    // A device the catalogue does not hold: the conversion refuses with its message.
    Apply({QStringLiteral("-acm=autoClose"), QStringLiteral("-gadget=nothing"),
           QStringLiteral("-inName=") + clip});
    form->AutoTimerTimer(&form->AutoTimer);
    EXPECT_EQ(services.messages.size(), 1);
    EXPECT_EQ(form->AutoTimer.Tag(), 0);
    EXPECT_FALSE(form->AutoTimer.Enabled());
    EXPECT_EQ(services.closeRequests, 0);
}

TEST_F(AutomaticRunTest, ErrorInTheAutomaticConversionIsShownNotThrown)
{
    // The timer's tick comes from the event loop, where an escaping error would end the
    // program: a settings store that refuses the run's date must end in the error box.
    const QString conf = ConfigHome() + QStringLiteral("/Zelt/Ondrava.conf");
    QDir().mkpath(conf);
    form->MyReg = std::make_unique<TZeltRegistry>(QStringLiteral("Ondrava"));
    Apply({QStringLiteral("-acm=auto"), QStringLiteral("-format=mp4"), QStringLiteral("-inName=") + clip});
    EXPECT_NO_THROW(form->AutoTimerTimer(&form->AutoTimer));
    EXPECT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(Path("clip.mp4")));
    EXPECT_EQ(form->AutoTimer.Tag(), 0);
    EXPECT_EQ(services.closeRequests, 0);
}

TEST_F(AutomaticRunTest, Notice)
{
    const QString output = Path(QStringLiteral("clip.mp4"));
    const struct {
        const char* name;
        int id;
        const char* app;
        bool outputThere;
        std::optional<QString> exeFile;
        std::optional<QString> handle;
        const char* onBus;  // the program that owns its name on the session bus
        bool expectTold;
        bool expectWritten;
        bool expectSignal;
    } cases[] = {
        {"no download", 0, "Parvel", true, manager, std::nullopt, "Parvel", false, false, false},
        {"negative id", -4, "Parvel", true, manager, std::nullopt, "Parvel", false, false, false},
        {"output missing", 5, "Parvel", false, manager, QStringLiteral("1"), "Parvel", false, false, false},
        {"no ExeFile", 5, "Parvel", true, std::nullopt, std::nullopt, "", false, true, false},
        {"ExeFile gone", 5, "Parvel", true, Path("manager/none"), std::nullopt, "", false, true, false},
        {"told", 5, "Parvel", true, manager, std::nullopt, "", true, true, false},
        {"says it runs, not on the bus: started", 5, "Parvel", true, manager, QStringLiteral("4242"), "",
         true, true, false},
        {"on the bus without saying it runs: started", 5, "Parvel", true, manager, std::nullopt, "Parvel",
         true, true, false},
        {"handle 0, on the bus: started", 5, "Parvel", true, manager, QStringLiteral("0"), "Parvel", true,
         true, false},
        {"the other manager on the bus: started", 5, "Parvel", true, manager, QStringLiteral("4242"),
         "Tessly", true, true, false},
        {"running: signal", 5, "Parvel", true, manager, QStringLiteral("4242"), "Parvel", true, true, true},
        {"running without ExeFile: signal", 5, "Parvel", true, std::nullopt, QStringLiteral("$10"),
         "Parvel", true, true, true},
        {"Tessly", 8, "Tessly", true, manager, std::nullopt, "", true, true, false},
        {"Tessly running: signal", 8, "Tessly", true, manager, QStringLiteral("77"), "Tessly", true, true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        MakeFile(QStringLiteral("clip.mp4"));
        const QString app = QLatin1String(c.app);
        if (c.exeFile)
            test::SetStoreValue(ConfigHome(), app, QStringLiteral("ExeFile"), *c.exeFile);
        if (c.handle)
            test::SetStoreValue(ConfigHome(), app, QStringLiteral("ApplicationHandle"), *c.handle);
        form->ConvertForPV_DID = c.id;
        form->ConvertForAppName = app;
        form->OutVideoFileBEdit.SetText(c.outputThere ? output : Path("none.mp4"));
        if (*c.onBus)
            callerLink.running << QLatin1String(c.onBus);

        EXPECT_EQ(form->NotifyConvertForApp(), c.expectTold);
        const QString key = QStringLiteral("conv_for_") + QString::number(c.id);
        EXPECT_EQ(test::StoreValue(ConfigHome(), app, key), c.expectWritten ? output : QString());
        EXPECT_EQ(form->ConvertForPV_DID, c.expectTold ? 0 : c.id);
        if (c.expectSignal) {
            EXPECT_EQ(callerLink.asked, QStringList{app});
            EXPECT_EQ(callerLink.announced, std::vector<int>{c.id});
            EXPECT_EQ(StartDetachedCalls(), 0);
            // Told at most once.
            EXPECT_FALSE(form->NotifyConvertForApp());
            EXPECT_EQ(callerLink.announced.size(), 1u);
            continue;
        }
        EXPECT_TRUE(callerLink.announced.empty());
        if (c.expectTold) {
            ASSERT_EQ(shell.calls.size(), 1u);
            EXPECT_EQ(shell.calls[0].kind, QStringLiteral("StartDetached"));
            EXPECT_EQ(shell.calls[0].target, manager);
            EXPECT_EQ(shell.calls[0].args,
                      QStringList{QStringLiteral("-convcomplete=") + QString::number(c.id)});
            // Told at most once.
            EXPECT_FALSE(form->NotifyConvertForApp());
        }
        EXPECT_EQ(StartDetachedCalls(), c.expectTold ? 1 : 0);
    }
}

TEST_F(AutomaticRunTest, NoticeFailsWhenTheStoreFails)
{
    const QString output = MakeFile(QStringLiteral("clip.mp4"));
    form->OutVideoFileBEdit.SetText(output);
    form->ConvertForAppName = QStringLiteral("Parvel");
    const QString conf = ConfigHome() + QStringLiteral("/Zelt/Parvel.conf");

    // A value of another type.
    WriteFile(conf, "[General]\nApplicationHandle=1, 2\nExeFile=" + manager.toUtf8() + "\n");
    form->ConvertForPV_DID = 5;
    EXPECT_FALSE(form->NotifyConvertForApp());
    EXPECT_EQ(form->ConvertForPV_DID, 5);

    // A store that refuses the path: the calling program is not told of a result it cannot find.
    QFile::remove(conf);
    QDir().mkpath(conf);
    EXPECT_FALSE(form->NotifyConvertForApp());
    EXPECT_EQ(form->ConvertForPV_DID, 5);
    EXPECT_EQ(StartDetachedCalls(), 0);
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(AutomaticRunTest, ConversionTellsTheCallingProgramOnce)
{
    test::SetStoreValue(ConfigHome(), QStringLiteral("Parvel"), QStringLiteral("ExeFile"), manager);
    Apply({QStringLiteral("-format=mp4"), QStringLiteral("-inName=") + clip, QStringLiteral("-fDID=5")});
    form->ConvertBitBtnClick(&form->ConvertBitBtn);
    EXPECT_EQ(test::StoreValue(ConfigHome(), QStringLiteral("Parvel"), QStringLiteral("conv_for_5")),
              Path("clip.mp4"));
    EXPECT_EQ(StartDetachedCalls(), 1);

    // A second conversion in the same run tells nobody.
    form->OutVideoFileBEdit.SetText(Path("again.mp4"));
    form->ConvertBitBtnClick(&form->ConvertBitBtn);
    EXPECT_TRUE(QFileInfo::exists(Path("again.mp4")));
    EXPECT_EQ(StartDetachedCalls(), 1);
}

}  // namespace
