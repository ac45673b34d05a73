// The Help menu over the model: the help pages by language, the home page, the mail link and
// the About command, all through a recording shell; and the shipped help pages themselves.
#include "FakeFormServices.h"
#include "support/TestSupport.h"

#include "platform/Shell.h"
#include "window/HtmlHlp.h"
#include "window/MainF.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <gtest/gtest.h>

using namespace ondrava;

namespace {

// The data folder is laid out as the program directory is.
QString DataDir() { return QDir::cleanPath(testsupport::SourceDir() + QStringLiteral("/../data")) + QLatin1Char('/'); }

class HelpAndLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("ONDRAVA_SITE_URL", "http://127.0.0.1:9");
        SetShell(&shell);
        form.ProgramDir = QStringLiteral("/opt/ondrava/");
    }
    void TearDown() override { SetShell(nullptr); }

    RecordingShell shell;
    test::FakeFormServices services;
    TMainForm form{services};
};

TEST_F(HelpAndLinksTest, HelpAndHomePageFollowTheLanguage)
{
    struct Case {
        const char* language;
        const char* help;
        const char* home;
    };
    const Case cases[] = {
        {"Russian", "file:///opt/ondrava/ondrava_ru/index.htm", "http://127.0.0.1:9/ru/"},
        {"Ukrainian", "file:///opt/ondrava/ondrava_ru/index.htm", "http://127.0.0.1:9/ru/"},
        {"Belarusian", "file:///opt/ondrava/ondrava_ru/index.htm", "http://127.0.0.1:9/ru/"},
        {"English", "file:///opt/ondrava/ondrava/index.htm", "http://127.0.0.1:9/"},
        {"German", "file:///opt/ondrava/ondrava/index.htm", "http://127.0.0.1:9/"},
        {"russian", "file:///opt/ondrava/ondrava/index.htm", "http://127.0.0.1:9/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        shell.calls.clear();
        form.CurrentLanguage = QLatin1String(c.language);
        form.ApplyLanguage();
        form.ContentsActionExecute();
        form.HomePageActionExecute();
        ASSERT_EQ(shell.calls.size(), 2u);
        EXPECT_EQ(shell.calls[0].kind, QStringLiteral("OpenUrl"));
        EXPECT_EQ(shell.calls[0].target, QLatin1String(c.help));
        EXPECT_EQ(shell.calls[1].kind, QStringLiteral("OpenUrl"));
        EXPECT_EQ(shell.calls[1].target, QLatin1String(c.home));
    }

    // Before a language has chosen the help there is nothing to open.
    shell.calls.clear();
    form.HELP_FILENAME.clear();
    form.ContentsActionExecute();
    EXPECT_TRUE(shell.calls.empty());
}

TEST(HtmlHelpPathTest, MapsHelpNamesToPagesOfTheHelpFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ondrava.chm::/index.htm", "/p/ondrava/index.htm"},
        {"ondrava_ru.chm::/cmdline.htm", "/p/ondrava_ru/cmdline.htm"},
        {"ondrava.chm::formats.htm", "/p/ondrava/formats.htm"},
        {"ondrava.chm", "/p/ondrava/index.htm"},
        {"Ondrava.CHM::/index.htm", "/p/Ondrava/index.htm"},
        {"ondrava.chm::/cmdline.htm#result", "/p/ondrava/cmdline.htm"},
        {"notes.htm", "/p/notes.htm"},
    };
    for (const auto& [help, expected] : cases)
        EXPECT_EQ(HtmlHelpPath(QStringLiteral("/p/"), QLatin1String(help)), QLatin1String(expected)) << help;
}

TEST(HtmlHelpPathTest, KeepsTheAnchorAndEncodesTheFolder)
{
    RecordingShell shell;
    SetShell(&shell);
    ShowHtmlHelp(QStringLiteral("/my progs/#1/"), QStringLiteral("ondrava.chm::/cmdline.htm#result"));
    SetShell(nullptr);
    ASSERT_EQ(shell.calls.size(), 1u);
    const QUrl url(shell.calls[0].target);
    EXPECT_EQ(url.toLocalFile(), QStringLiteral("/my progs/#1/ondrava/cmdline.htm"));
    EXPECT_EQ(url.fragment(), QStringLiteral("result"));
}

TEST_F(HelpAndLinksTest, HomePageMailAndAboutCommands)
{
    form.HOMEPAGE_LINK = QStringLiteral("http://127.0.0.1:9/ru/");
    form.HomePageActionExecute();
    form.EmailActionExecute();
    form.AboutActionExecute();
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(shell.calls[0].target, QStringLiteral("http://127.0.0.1:9/ru/"));
    EXPECT_EQ(shell.calls[1].kind, QStringLiteral("OpenUrl"));
    EXPECT_EQ(shell.calls[1].target, QStringLiteral("mailto:support@127.0.0.1"));
    EXPECT_EQ(services.abouts, 1);

    // Without a language no home page is known, and nothing opens.
    shell.calls.clear();
    form.HOMEPAGE_LINK.clear();
    form.HomePageActionExecute();
    EXPECT_TRUE(shell.calls.empty());
}

// Every shipped help: the start page opens, and every page it reaches, its stylesheet and its
// links exist, declare UTF-8 and are UTF-8.
TEST_F(HelpAndLinksTest, ShippedHelpPagesAreCompleteAndLinked)
{
    form.ProgramDir = DataDir();
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""));
    for (const char* help : {"ondrava.chm", "ondrava_ru.chm"}) {
        SCOPED_TRACE(help);
        shell.calls.clear();
        form.HELP_FILENAME = QLatin1String(help);
        form.ContentsActionExecute();
        ASSERT_EQ(shell.calls.size(), 1u);
        const QString start = QUrl(shell.calls[0].target).toLocalFile();
        ASSERT_TRUE(QFileInfo(start).isFile()) << start.toStdString();

        QStringList pending{start}, seen;
        while (!pending.isEmpty()) {
            const QString page = pending.takeFirst();
            if (seen.contains(page))
                continue;
            seen << page;
            SCOPED_TRACE(page.toStdString());
            ASSERT_TRUE(QFileInfo(page).isFile());
            const QByteArray bytes = testsupport::ReadFile(page);
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString text = utf8(bytes);
            EXPECT_FALSE(utf8.hasError());
            if (!page.endsWith(QStringLiteral(".htm")))
                continue;
            EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
            EXPECT_TRUE(text.contains(QStringLiteral("href=\"style.css\"")));
            for (auto it = link.globalMatch(text); it.hasNext();)
                pending << QFileInfo(page).dir().filePath(it.next().captured(1));
        }
        // The start page reaches the pages of the help.
        EXPECT_GE(seen.size(), 5);
    }
}

}  // namespace
