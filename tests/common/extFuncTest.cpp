#include "common/extFunc.h"
#include "platform/Sound.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace ondrava;

namespace {

struct TagCase {
    const char* text;
    const char* tag;
    bool remove;
    const char* result;
    const char* textAfter;
};

TEST(GetTagText, Table)
{
    const TagCase cases[] = {
        {"<a><id>7</id><name>X</name></a>", "id", true, "7", "<a><name>X</name></a>"},
        {"<a><id>7</id><name>X</name></a>", "id", false, "7", "<a><id>7</id><name>X</name></a>"},
        {"<id/>", "id", false, "", "<id/>"},
        {"<id/>", "id", true, "", ""},
        {"a<id/>b<id/>c", "id", true, "", "ab<id/>c"},
        // The first closing tag comes before the opening tag: the element counts as absent.
        {"</id><id>7</id>", "id", true, "", "</id><id>7</id>"},
        {"x<id></id>y", "id", true, "", "xy"},
        // No balancing of inner elements of the same name.
        {"<id>a<id>b</id>c</id>", "id", true, "a<id>b", "c</id>"},
        // A full element wins over an empty one before it.
        {"<id/><id>5</id>", "id", true, "5", "<id/>"},
        {"<v> 1 &amp; 2 </v>", "v", false, " 1 &amp; 2 ", "<v> 1 &amp; 2 </v>"},
        {"<ID>1</ID>", "id", true, "", "<ID>1</ID>"},
        {"<id x=\"1\">7</id>", "id", true, "", "<id x=\"1\">7</id>"},
        {"<id >7</id >", "id", true, "", "<id >7</id >"},
        {"<id>7", "id", true, "", "<id>7"},
        {"", "id", true, "", ""},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.text);
        QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(GetTagText(text, QString::fromUtf8(c.tag), c.remove), QString::fromUtf8(c.result));
        EXPECT_EQ(text, QString::fromUtf8(c.textAfter));
    }
}

TEST(GetTagText, RemovingReadsRepeatedFieldsInTurn)
{
    QString preset = QStringLiteral("<id>1</id><name>A</name><id>2</id>");
    EXPECT_EQ(GetTagText(preset, QStringLiteral("id"), true), QStringLiteral("1"));
    EXPECT_EQ(GetTagText(preset, QStringLiteral("name"), true), QStringLiteral("A"));
    EXPECT_EQ(GetTagText(preset, QStringLiteral("id"), true), QStringLiteral("2"));
    EXPECT_TRUE(preset.isEmpty());
}

struct FillCase {
    const char* pattern;
    const char* s1;
    const char* s2;
    const char* s3;
    const char* s4;
    const char* result;
};

TEST(FillPlaceholders, Table)
{
    const FillCase cases[] = {
        {"File %1 exists", "a.mp4", "", "", "", "File a.mp4 exists"},
        {"Version %1 %2", "1.2", "", "", "", "Version 1.2 %2"},
        {"a%1b", "", "", "", "", "ab"},
        {"%1-%1", "x", "", "", "", "x-%1"},
        {"%4%3%2%1", "a", "b", "c", "d", "dcba"},
        {"%1 %3", "", "", "c", "", " c"},
        // A value holding a later placeholder is filled in turn.
        {"%1 then %2", "%2", "Z", "", "", "Z then %2"},
        {"no placeholders", "x", "y", "", "", "no placeholders"},
        {"", "x", "", "", "", ""},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FillPlaceholders(QString::fromUtf8(c.pattern), QString::fromUtf8(c.s1), QString::fromUtf8(c.s2),
                                   QString::fromUtf8(c.s3), QString::fromUtf8(c.s4)),
                  QString::fromUtf8(c.result));
    }
}

struct StripCase {
    const char* name;
    QStringList lines;
    QStringList expected;
};

TEST(StripComments, Table)
{
    const StripCase cases[] = {
        {"comment, empty, trailing comment",
         {QStringLiteral(" // note"), QString(), QStringLiteral("key=value // c"), QStringLiteral("x")},
         {QStringLiteral("key=value "), QStringLiteral("x")}},
        {"control characters trimmed", {QStringLiteral("\t\x01 a=b \r\n")}, {QStringLiteral("a=b")}},
        {"only blanks and comments",
         {QStringLiteral("//"), QStringLiteral("   "), QStringLiteral("\x01\x02"), QStringLiteral("\t// x")},
         {}},
        {"web address is cut", {QStringLiteral("url=http://example")}, {QStringLiteral("url=http:")}},
        {"neighbours keep their order",
         {QStringLiteral("a"), QStringLiteral("b//"), QStringLiteral("//c"), QString(), QStringLiteral("d")},
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")}},
        {"inner control characters and non-break spaces stay",
         {QStringLiteral("a\x01" "b"), QString(QChar(0xA0)) + QStringLiteral("c") + QChar(0xA0)},
         {QStringLiteral("a\x01" "b"), QString(QChar(0xA0)) + QStringLiteral("c") + QChar(0xA0)}},
        {"single slash is no comment", {QStringLiteral("a/b / c")}, {QStringLiteral("a/b / c")}},
        {"empty list", {}, {}},
    };
    for (const StripCase& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines = c.lines;
        StripComments(lines);
        EXPECT_EQ(lines, c.expected);
    }
}

TEST(StripComments, LargeFileInLinearTime)
{
    // Every second line goes: dropping them one by one would move the rest each time.
    constexpr int kLines = 1000000;
    QStringList lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        lines.append(i % 2 ? QStringLiteral("// comment") : QStringLiteral("  %1=v // c").arg(i));
    QElapsedTimer timer;
    timer.start();
    StripComments(lines);
    EXPECT_LT(timer.elapsed(), 10000);
    ASSERT_EQ(lines.size(), kLines / 2);
    EXPECT_EQ(lines.front(), QStringLiteral("0=v "));
    EXPECT_EQ(lines.back(), QStringLiteral("%1=v ").arg(kLines - 2));
}

struct UniqueCase {
    const char* name;
    QStringList existing;  // relative paths; a trailing "/" makes a folder
    const char* fileName;
    const char* expected;
};

TEST(MakeUniqueFileName, Table)
{
    const UniqueCase cases[] = {
        {"free name unchanged", {}, "v/free.mp4", "v/free.mp4"},
        {"free numbered name unchanged", {}, "v/clip[7].mp4", "v/clip[7].mp4"},
        {"first free number", {"v/clip.mp4", "v/clip[1].mp4"}, "v/clip.mp4", "v/clip[2].mp4"},
        {"counts on from the number", {"v/clip[7].mp4"}, "v/clip[7].mp4", "v/clip[8].mp4"},
        {"skips taken numbers", {"v/clip[7].mp4", "v/clip[8].mp4"}, "v/clip[7].mp4", "v/clip[9].mp4"},
        {"unreadable number", {"v/clip[x].mp4"}, "v/clip[x].mp4", "v/clip[x][1].mp4"},
        {"two closing brackets", {"v/a[1]b].mp4"}, "v/a[1]b].mp4", "v/a[1]b][1].mp4"},
        {"dot in the folder", {"v.mp4/clip.mp4"}, "v.mp4/clip.mp4", "v.mp4/clip[1].mp4"},
        {"no extension", {"v.mp4/clip"}, "v.mp4/clip", "v.mp4/clip[1]"},
        {"only the last extension", {"v/a.tar.gz"}, "v/a.tar.gz", "v/a.tar[1].gz"},
        {"a folder is in the way", {"v/out.mp4/"}, "v/out.mp4", "v/out[1].mp4"},
    };
    for (const UniqueCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString root = dir.path() + QLatin1Char('/');
        QDir().mkpath(root + QStringLiteral("v"));
        for (const QString& rel : c.existing) {
            if (rel.endsWith(QLatin1Char('/')))
                ASSERT_TRUE(QDir().mkpath(root + rel));
            else {
                QDir().mkpath(QFileInfo(root + rel).absolutePath());
                testsupport::WriteFile(root + rel, "x");
            }
        }
        EXPECT_EQ(MakeUniqueFileName(root + QString::fromUtf8(c.fileName)), root + QString::fromUtf8(c.expected));
    }
}

// Sets XDG_DATA_HOME for one test and restores it afterwards.
class DataHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_had = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        m_old = qgetenv("XDG_DATA_HOME");
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override
    {
        if (m_had)
            qputenv("XDG_DATA_HOME", m_old);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    static void Use(const QString& path) { qputenv("XDG_DATA_HOME", path.toLocal8Bit()); }

    QTemporaryDir m_dir;

private:
    bool m_had = false;
    QByteArray m_old;
};

TEST_F(DataHome, AppDataIsCreatedWithoutTrailingSeparator)
{
    const QString wanted = m_dir.path() + QStringLiteral("/new/data");
    Use(wanted + QLatin1Char('/'));
    EXPECT_EQ(GetSpecialFolderPath(26), wanted);
    EXPECT_TRUE(QFileInfo(wanted).isDir());
}

TEST_F(DataHome, FolderThatCannotBeMadeGivesEmpty)
{
    testsupport::WriteFile(m_dir.path() + QStringLiteral("/file"), "x");
    Use(m_dir.path() + QStringLiteral("/file/data"));
    EXPECT_TRUE(GetSpecialFolderPath(26).isEmpty());
}

TEST_F(DataHome, OtherFolderNumbersGiveEmpty)
{
    Use(m_dir.path());
    for (int folder : {0, 5, 25, 27, 0x1a00, -26}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(GetSpecialFolderPath(folder).isEmpty());
    }
}

class ThrowingPlayer : public SoundPlayer {
public:
    void Play(const QString&) override { throw std::runtime_error("no device"); }
};

TEST(PlaySoundFile, PlaysOnlyWhenEnabled)
{
    RecordingSoundPlayer player;
    SetSoundPlayer(&player);
    PlaySoundFile(QStringLiteral("/p/Sounds/converted.wav"), true);
    PlaySoundFile(QStringLiteral("/p/Sounds/error.wav"), false);
    SetSoundPlayer(nullptr);
    EXPECT_EQ(player.played, QStringList{QStringLiteral("/p/Sounds/converted.wav")});
}

TEST(PlaySoundFile, FailuresAndMissingPlayerAreSilent)
{
    PlaySoundFile(QStringLiteral("a.wav"), true);
    ThrowingPlayer player;
    SetSoundPlayer(&player);
    EXPECT_NO_THROW(PlaySoundFile(QStringLiteral("a.wav"), true));
    SetSoundPlayer(nullptr);
}

}  // namespace
