#include "app/RegZelt.h"

#include "common/Error.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace ondrava;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

const char* const kChildVar = "ONDRAVA_REGZELT_CHILD_WRITE";

// Every store of this program lives in a configuration folder of its own, set before the first
// settings object reads the environment. A child started by a test shares its parent's folder.
struct ConfigHome {
    ConfigHome()
    {
        if (qEnvironmentVariableIsSet(kChildVar))
            return;
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", dir->path().toLocal8Bit());
    }
    std::unique_ptr<QTemporaryDir> dir;
};
const ConfigHome configHome;

QString ConfigDir() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QString ZeltDir() { return ConfigDir() + QStringLiteral("/Zelt"); }
QString ConfFile(const char* program) { return ZeltDir() + QLatin1Char('/') + QLatin1String(program) + QStringLiteral(".conf"); }

class RegZeltTest : public ::testing::Test {
protected:
    // Each case starts without any store on disk.
    void SetUp() override
    {
        ASSERT_FALSE(ConfigDir().isEmpty());
        QFileInfo zelt(ZeltDir());
        if (zelt.isDir()) {
            ASSERT_TRUE(QDir(ZeltDir()).removeRecursively());
        } else if (zelt.exists()) {
            ASSERT_TRUE(QFile::remove(ZeltDir()));
        }
    }

    static QString ErrorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const Error& e) {
            return e.message();
        }
        return {};
    }
};

TEST_F(RegZeltTest, NamesWithAndWithoutBackslashShareOneStore)
{
    TZeltRegistry plain(QStringLiteral("Ondrava"));
    TZeltRegistry slashed(QStringLiteral("\\Ondrava"));
    for (const TZeltRegistry* r : {&plain, &slashed}) {
        EXPECT_EQ(r->ProgName, QStringLiteral("\\Ondrava"));
        EXPECT_EQ(r->CurrentZeltKey, QStringLiteral("\\Software\\Zelt\\Ondrava"));
        EXPECT_EQ(r->FileName(), ConfFile("Ondrava"));
        EXPECT_FALSE(r->UseIniFile);
    }
    EXPECT_EQ(TZeltRegistry(QString()).ProgName, QStringLiteral("\\"));

    EXPECT_TRUE(plain.WriteStringPar(QStringLiteral("Build"), QStringLiteral("17")));
    EXPECT_EQ(slashed.ReadStringPar(QStringLiteral("Build")), QStringLiteral("17"));
    EXPECT_EQ(TZeltRegistry(QStringLiteral("Parvel")).ReadStringPar(QStringLiteral("Build")), QString())
        << "another program's store is separate";
}

TEST_F(RegZeltTest, ReadingNeverCreatesTheStore)
{
    TZeltRegistry reg(QStringLiteral("Ondrava"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Never")), QString());
    EXPECT_FALSE(QFileInfo::exists(ZeltDir()));

    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("Other"), QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo(ConfFile("Ondrava")).isFile()) << "the first write creates folder and file";
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Never")), QString());
}

TEST_F(RegZeltTest, ValuesComeBackAsWritten)
{
    TZeltRegistry reg(QStringLiteral("Ondrava"));
    const QString values[] = {
        QString(), QStringLiteral(" padded "), QStringLiteral("1, 2"), QStringLiteral("a=b;c"),
        QStringLiteral("@Variant(x)"), QStringLiteral("\"quoted\""), QStringLiteral("/home/u/My Videos/"),
        QStringLiteral("two\r\nlines"), QStringLiteral("Видео ünïcödé"), QStringLiteral("C:\\v\\clip.mp4"),
    };
    for (const QString& v : values) {
        ASSERT_TRUE(reg.WriteStringPar(QStringLiteral("Value"), v));
        EXPECT_EQ(TZeltRegistry(QStringLiteral("Ondrava")).ReadStringPar(QStringLiteral("Value")), v) << v.toStdString();
    }
    reg.WriteStringPar(QStringLiteral("Value"), QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Value")), QStringLiteral("ab")) << "a value ends at its first NUL";
}

// Files written by hand or by other programs: strings read, other types are an error.
TEST_F(RegZeltTest, HandWrittenValuesOfOtherTypesAreRefused)
{
    struct Case { const char* line; const char* value; bool error; };
    const Case cases[] = {
        {"Value=plain text", "plain text", false},
        {"Value=", "", false},
        {"Value=\"1, 2\"", "1, 2", false},
        {"Value=42", "42", false},
        {"Value=1, 2", "", true},
        {"Value=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)", "", true},
        {"Value=@ByteArray(raw)", "", true},
        {"Other=1", "", false},
    };
    TZeltRegistry reg(QStringLiteral("Ondrava"));
    ASSERT_TRUE(QDir().mkpath(ZeltDir()));
    for (const Case& c : cases) {
        WriteFile(ConfFile("Ondrava"), QByteArray("[General]\n") + c.line + "\n");
        const QString error = ErrorOf([&] { EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Value")), QLatin1String(c.value)) << c.line; });
        EXPECT_EQ(error, c.error ? QStringLiteral("Invalid data type for 'Value'") : QString()) << c.line;
    }
}

TEST_F(RegZeltTest, GarbageLinesReadAsMissingValues)
{
    ASSERT_TRUE(QDir().mkpath(ZeltDir()));
    WriteFile(ConfFile("Ondrava"), QByteArray("\x01\x02 junk\n[General\nnoequals\n=x\n\xff\xfe\n[General]\nGood=yes\n"));
    TZeltRegistry reg(QStringLiteral("Ondrava"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("noequals")), QString());
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("junk")), QString());
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Good")), QStringLiteral("yes"));

    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("New"), QStringLiteral("1"))) << "a damaged file is no refused write";
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("New")), QStringLiteral("1"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Good")), QStringLiteral("yes"));
}

TEST_F(RegZeltTest, WritesOfOtherStoresAreSeenAtOnce)
{
    TZeltRegistry reader(QStringLiteral("Parvel"));
    TZeltRegistry writer(QStringLiteral("\\Parvel"));
    EXPECT_EQ(reader.ReadStringPar(QStringLiteral("ExeFile")), QString());
    writer.WriteStringPar(QStringLiteral("ExeFile"), QStringLiteral("/opt/parvel/parvel"));
    EXPECT_EQ(reader.ReadStringPar(QStringLiteral("ExeFile")), QStringLiteral("/opt/parvel/parvel"));

    // Another program writes the same store while this one keeps its store object.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kChildVar), QStringLiteral("ExeFile=/usr/bin/parvel-written-by-child"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RegZeltChild.WritesTheValueItIsGiven")});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
    EXPECT_EQ(reader.ReadStringPar(QStringLiteral("ExeFile")), QStringLiteral("/usr/bin/parvel-written-by-child"));
    EXPECT_TRUE(ReadFile(ConfFile("Parvel")).contains("parvel-written-by-child")) << "written to disk at once";
}

TEST_F(RegZeltTest, RefusedWritesAreReported)
{
    // The store's file is a folder: the key opens, but the value cannot be stored.
    ASSERT_TRUE(QDir().mkpath(ConfFile("Ondrava")));
    TZeltRegistry reg(QStringLiteral("Ondrava"));
    EXPECT_EQ(ErrorOf([&] { reg.WriteStringPar(QStringLiteral("Build"), QStringLiteral("1")); }),
              QStringLiteral("Failed to set data for 'Build'"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Build")), QString());

    // The store's folder cannot be created: the key does not open and nothing is written.
    ASSERT_TRUE(QDir(ZeltDir()).removeRecursively());
    WriteFile(ZeltDir(), "not a folder");
    EXPECT_FALSE(reg.WriteStringPar(QStringLiteral("Build"), QStringLiteral("1")));
    EXPECT_FALSE(reg.DeleteStringPar(QStringLiteral("Build")));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Build")), QString());
}

TEST_F(RegZeltTest, DeletingValues)
{
    TZeltRegistry reg(QStringLiteral("Tessly"));
    EXPECT_FALSE(reg.DeleteStringPar(QStringLiteral("conv_for_7")));
    EXPECT_TRUE(QFileInfo(ConfFile("Tessly")).isFile()) << "deleting opens the store with creation";

    reg.WriteStringPar(QStringLiteral("conv_for_7"), QStringLiteral("/tmp/out.mp4"));
    reg.WriteStringPar(QStringLiteral("ExeFile"), QStringLiteral("/usr/bin/tessly"));
    EXPECT_TRUE(reg.DeleteStringPar(QStringLiteral("conv_for_7")));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("conv_for_7")), QString());
    EXPECT_FALSE(reg.DeleteStringPar(QStringLiteral("conv_for_7")));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("ExeFile")), QStringLiteral("/usr/bin/tessly"));
}

TEST_F(RegZeltTest, IniModeKeepsItsSectionNameLiterally)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("store.ini"));
    WriteFile(ini, "[Other]\nName=other's\n");
    TZeltRegistry reg(QStringLiteral("Ondrava"), true, ini);
    EXPECT_EQ(reg.IniFileSection, QStringLiteral("\\Ondrava"));

    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("Name"), QStringLiteral("two\nlines \\ here")));
    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("Name"), QStringLiteral("mine")));
    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("Multi"), QStringLiteral("two\nlines \\ here")));
    EXPECT_EQ(ReadFile(ini), QByteArray("[Other]\nName=other's\n[\\Ondrava]\nName=mine\nMulti=two\\nlines \\\\ here\n"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Multi")), QStringLiteral("two\nlines \\ here"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Missing")), QString());
    EXPECT_FALSE(QFileInfo::exists(ZeltDir())) << "INI mode leaves the settings file alone";

    EXPECT_TRUE(reg.WriteStringPar(QStringLiteral("Name"), QStringLiteral("registry"), true));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Name"), true), QStringLiteral("registry"));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Name")), QStringLiteral("mine"));
    EXPECT_EQ(TZeltRegistry(QStringLiteral("Ondrava")).ReadStringPar(QStringLiteral("Name")), QStringLiteral("registry"));

    EXPECT_TRUE(reg.DeleteStringPar(QStringLiteral("Name")));
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Name")), QString());
    EXPECT_EQ(reg.ReadStringPar(QStringLiteral("Name"), true), QStringLiteral("registry"));

    // Without a file name there is no INI file: the store keeps to the settings file.
    TZeltRegistry noFile(QStringLiteral("Ondrava"), true, QString());
    EXPECT_EQ(noFile.ReadStringPar(QStringLiteral("Name")), QStringLiteral("registry"));
}

// The writer of WritesOfOtherStoresAreSeenAtOnce, run as a separate program.
TEST(RegZeltChild, WritesTheValueItIsGiven)
{
    const QString job = qEnvironmentVariable(kChildVar);
    if (job.isEmpty())
        GTEST_SKIP() << "runs only as the child process of WritesOfOtherStoresAreSeenAtOnce";
    const qsizetype eq = job.indexOf(QLatin1Char('='));
    ASSERT_GT(eq, 0);
    EXPECT_TRUE(TZeltRegistry(QStringLiteral("Parvel")).WriteStringPar(job.left(eq), job.mid(eq + 1)));
}

}  // namespace
