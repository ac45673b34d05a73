#include "i18n/Language.h"

#include "common/Error.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace ondrava;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

using LS = TLanguageSections;

QString Fixture(const char* name)
{
    return testsupport::SourceDir() + QStringLiteral("/i18n/fixtures/") + QLatin1String(name);
}

class LanguageTest : public ::testing::Test {
protected:
    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    TLanguage lang;
};

TEST_F(LanguageTest, LooksUpTextsAsTheFileWritesThem)
{
    ASSERT_TRUE(lang.LoadLanguage(Fixture("sample.lng")));

    struct Case { LS section; const char* id; const char* expected; const char* why; };
    const Case cases[] = {
        {LS::lsMainForm, "12011", "Open ", "a comment is cut, the blank before it stays"},
        {LS::lsMainForm, "12012", "", "blanks before '=' hide the identifier"},
        {LS::lsMainForm, "12020", "See http:", "any '//' starts a comment"},
        {LS::lsMainForm, "12030", "Later", "the search also matches the end of a longer identifier"},
        {LS::lsMainForm, "12040", "First", "the first of two equal identifiers wins"},
        {LS::lsMainForm, "12060", "inner", "an identifier inside an earlier text matches"},
        {LS::lsMainForm, "12070", "", "an entry of another section is not seen"},
        {LS::lsMainMenu, "12070", "Menu only", ""},
        {LS::lsMainMenu, "11002", "Help  ", "blanks before a comment are kept"},
        {LS::lsGeneralMessages, "13012", "a=b", "the text runs from the first '='"},
        {LS::lsGeneralMessages, "13013", "Converting...", ""},
        {LS::lsGeneralMessages, "99999", "", "unknown identifier"},
        {LS::lsGeneral, "CHARSET", "", "no section fills the General list"},
        {LS::lsOptionsForm, "12011", "", ""},
        {LS::lsOtherForms, "12011", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lang.Get(c.section, QLatin1String(c.id)), QLatin1String(c.expected)) << c.id << ": " << c.why;

    EXPECT_EQ(lang.SLMainMenu, (QStringList{"11001=File", "11002=Help  ", "12070=Menu only"}));
    EXPECT_EQ(lang.SLGeneralMessages.size(), 2);
    EXPECT_EQ(lang.SLMainForm.size(), 9) << "the comment-only line is dropped";
    EXPECT_EQ(lang.Charset, 1);
}

TEST_F(LanguageTest, LineEndsAndByteOrderMarksReadAlike)
{
    const QByteArray crlf = ReadFile(Fixture("sample.lng"));
    ASSERT_FALSE(crlf.isEmpty());
    ASSERT_TRUE(lang.LoadLanguage(Fixture("sample.lng")));

    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    const QString text = QString::fromUtf8(crlf);
    QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);

    struct Case { const char* name; QByteArray bytes; };
    const Case cases[] = {
        {"lf.lng", lf},
        {"cr.lng", cr},
        {"no-final-break.lng", crlf.chopped(2)},
        {"utf8-bom.lng", "\xEF\xBB\xBF" + crlf},
        {"utf16le.lng", QByteArray(le.encode(text))},
        {"utf16be.lng", QByteArray(be.encode(text))},
    };
    for (const Case& c : cases) {
        TLanguage other;
        EXPECT_TRUE(other.LoadLanguage(Write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(other.SLMainMenu, lang.SLMainMenu) << c.name;
        EXPECT_EQ(other.SLMainForm, lang.SLMainForm) << c.name;
        EXPECT_EQ(other.SLGeneralMessages, lang.SLGeneralMessages) << c.name;
    }
}

TEST_F(LanguageTest, NonAsciiTextsSurviveWithAByteOrderMark)
{
    const QString russian = QStringLiteral("Открыть файл");
    const QString text = QStringLiteral("<MainForm>\r\n12011=%1\r\n</MainForm>\r\n").arg(russian);
    QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    for (const QByteArray& bytes : {QByteArray("\xEF\xBB\xBF" + text.toUtf8()), QByteArray(le.encode(text))}) {
        TLanguage l;
        l.LoadLanguage(Write("ru.lng", bytes));
        EXPECT_EQ(l.Get(LS::lsMainForm, QStringLiteral("12011")), russian);
    }
}

// A second file replaces only the sections it has; the others keep the first file's lines.
TEST_F(LanguageTest, MissingSectionsKeepTheirOldLines)
{
    ASSERT_TRUE(lang.LoadLanguage(Fixture("sample.lng")));
    const QStringList oldMenu = lang.SLMainMenu;
    const QStringList oldMessages = lang.SLGeneralMessages;

    EXPECT_FALSE(lang.LoadLanguage(Fixture("partial.lng")));
    EXPECT_EQ(lang.SLMainMenu, QStringList{"11001=Datei"});
    EXPECT_EQ(lang.SLMainForm, QStringList{"12011=Oeffnen"});
    EXPECT_EQ(lang.SLGeneralMessages, oldMessages);

    // Each text below lacks a usable MainMenu section but has the two others.
    const QByteArray others = "<MainForm>\n12011=New\n</MainForm>\n<GeneralMessages>\n13013=Busy\n</GeneralMessages>\n";
    struct Case { const char* why; QByteArray menu; };
    const Case cases[] = {
        {"no MainMenu at all", ""},
        {"a comment after the opening mark", "<MainMenu> // menu\n11001=X\n</MainMenu>\n"},
        {"closing mark right after the opening line", "<MainMenu>\n</MainMenu>\n"},
        {"closing mark before the opening line", "</MainMenu>\n<MainMenu>\n11001=X\n"},
        {"no closing mark", "<MainMenu>\n11001=X\n"},
        {"other letter case", "<mainmenu>\n11001=X\n</mainmenu>\n"},
        {"opening mark with blanks inside", "< MainMenu >\n11001=X\n</MainMenu>\n"},
    };
    for (const Case& c : cases) {
        TLanguage l;
        ASSERT_TRUE(l.LoadLanguage(Fixture("sample.lng")));
        EXPECT_FALSE(l.LoadLanguage(Write("variant.lng", c.menu + others))) << c.why;
        EXPECT_EQ(l.SLMainMenu, oldMenu) << c.why;
        EXPECT_EQ(l.SLMainForm, QStringList{"12011=New"}) << c.why;
        EXPECT_EQ(l.SLGeneralMessages, QStringList{"13013=Busy"}) << c.why;
        EXPECT_EQ(l.Charset, 1) << c.why;
    }
}

TEST_F(LanguageTest, AClosingMarkAtALineEndEndsTheSection)
{
    EXPECT_FALSE(lang.LoadLanguage(Write("inline.lng", "<MainForm>\n12011=Open</MainForm>\n")));
    EXPECT_EQ(lang.SLMainForm, QStringList{"12011=Open"});
    EXPECT_EQ(lang.Get(LS::lsMainForm, QStringLiteral("12011")), QStringLiteral("Open"));
}

TEST_F(LanguageTest, AbsentFilesChangeNothing)
{
    ASSERT_TRUE(dir.isValid());
    const QString cases[] = {QString(), dir.filePath(QStringLiteral("missing.lng")), dir.path()};
    for (const QString& name : cases) {
        TLanguage l;
        EXPECT_FALSE(l.LoadLanguage(name)) << name.toStdString();
        EXPECT_EQ(l.Charset, 0) << "Charset is set only by reading a file";
        EXPECT_TRUE(l.SLMainMenu.isEmpty());
    }

    const QString dangling = dir.filePath(QStringLiteral("dangling.lng"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere.lng")), dangling));
    EXPECT_FALSE(lang.LoadLanguage(dangling));

    const QString link = dir.filePath(QStringLiteral("link.lng"));
    ASSERT_TRUE(QFile::link(Fixture("sample.lng"), link));
    EXPECT_TRUE(lang.LoadLanguage(link)) << "links are followed";
}

TEST_F(LanguageTest, AFileThatCannotBeReadThrowsWithTheReason)
{
    // Permissions mean nothing to root; reading /proc/self/mem from its start fails for anyone.
    QString path = Write("locked.lng", "<MainMenu>\n1=x\n</MainMenu>\n");
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (::geteuid() == 0)
        path = QStringLiteral("/proc/self/mem");
    try {
        lang.LoadLanguage(path);
        FAIL() << "no error for an unreadable file";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
    EXPECT_EQ(lang.Charset, 0);
}

// Damaged or foreign files never crash or hang: they load what their text holds.
TEST_F(LanguageTest, BadFilesLoadWithoutHarm)
{
    QByteArray binary(1 << 20, '\0');
    QRandomGenerator rng(7);
    for (char& b : binary)
        b = char(rng.bounded(256));
    const QByteArray sample = ReadFile(Fixture("sample.lng"));

    struct Case { const char* name; QByteArray bytes; bool expected; };
    const Case cases[] = {
        {"empty.lng", QByteArray(), false},
        {"binary.lng", binary, false},
        {"truncated.lng", sample.left(sample.indexOf("12040=")), false},
        {"odd-utf16.lng", QByteArray("\xFF\xFE<\0M\0a", 7), false},
        {"nuls.lng", QByteArray("<MainMenu>\n1=a\0b\n</MainMenu>\n", 28), false},
    };
    for (const Case& c : cases) {
        TLanguage l;
        EXPECT_EQ(l.LoadLanguage(Write(c.name, c.bytes)), c.expected) << c.name;
        EXPECT_EQ(l.Charset, 1) << c.name;
    }

    TLanguage truncated;
    truncated.LoadLanguage(Write("truncated.lng", sample.left(sample.indexOf("12040="))));
    EXPECT_EQ(truncated.SLGeneralMessages.size(), 2) << "the sections before the cut still load";
    EXPECT_TRUE(truncated.SLMainForm.isEmpty());
}

TEST_F(LanguageTest, AHugeFileLoadsInSeconds)
{
    // About 30 MiB: 700 000 entries with comments and blank lines between.
    constexpr int kEntries = 700000;
    QByteArray bytes;
    bytes.reserve(32 << 20);
    bytes += "<GeneralMessages>\r\n13013=Busy\r\n</GeneralMessages>\r\n<MainMenu>\r\n11001=File\r\n</MainMenu>\r\n";
    bytes += "<MainForm>\r\n";
    for (int i = 0; i < kEntries; ++i) {
        bytes += QByteArray::number(1000000 + i) + "=Text number " + QByteArray::number(i) + "   // remark\r\n";
        if (i % 10 == 0)
            bytes += "\r\n  // only a comment\r\n";
    }
    bytes += "</MainForm>\r\n";
    ASSERT_GT(bytes.size(), 25 << 20);
    const QString path = Write("huge.lng", bytes);
    bytes.clear();

    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(lang.LoadLanguage(path));
    EXPECT_EQ(lang.SLMainForm.size(), kEntries);
    EXPECT_EQ(lang.Get(LS::lsMainForm, QString::number(1000000 + kEntries - 1)),
              QStringLiteral("Text number %1   ").arg(kEntries - 1));
    EXPECT_LT(timer.elapsed(), 30000);

    // The same bulk with no section marks at all.
    TLanguage none;
    EXPECT_FALSE(none.LoadLanguage(Write("huge-plain.lng", QByteArray(30 << 20, 'x'))));
}

}  // namespace
