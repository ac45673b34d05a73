// The update checker: reading the reply, comparing versions, one query per Start with the
// start count only on the first, and replies that arrive after the checker is gone.
#include "update/CheckUpdate.h"

#include "common/Error.h"
#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace ondrava;
using namespace updatetest;

namespace {

const QString kRunning = QStringLiteral("0.7.1.37");

struct VersionCase {
    const char* reply;
    std::optional<bool> newer;  // nullopt: the version does not read
};

TEST(CheckUpdateVersionTest, ComparesFirstSecondThenTheRestAsOneNumber)
{
    const VersionCase cases[] = {
        {"0.8.0.0", true},
        {"0.10.0.0", true},   // numbers, not text
        {"0.7.2.37", false},  // the third number is never compared
        {"0.7.0.38", true},
        {"0.7.1.37", false},
        {"0.7.1.36", false},
        {"0.6.9.99", false},
        {"1.0", true},        // the first number decides before the rest is read
        {"0.7", std::nullopt},
        {"0.7.x.y", std::nullopt},
        {"0.7.1.3a", std::nullopt},
        {"v1.0.0.0", std::nullopt},
        {"", std::nullopt},
    };
    for (const VersionCase& c : cases) {
        const QString a = QString::fromLatin1(c.reply);
        if (c.newer)
            EXPECT_EQ(IsNewerVersion(a, kRunning), *c.newer) << c.reply;
        else
            EXPECT_THROW(IsNewerVersion(a, kRunning), Error) << c.reply;
    }
}

struct ParseCase {
    const char* name;
    const char* reply;
    int flag;
    const char* version;
    bool throws = false;
};

TEST(CheckUpdateParseTest, ReadsTheReplyIntoTheFlagAndVersionInfo)
{
    const ParseCase cases[] = {
        {"newer", "<newversioninfo><version>0.8.0.40</version></newversioninfo>", 1, "0.8.0.40"},
        {"same", "<newversioninfo><version>0.7.1.37</version></newversioninfo>", 0, "0.7.1.37"},
        {"capitals", "<NEWVERSIONINFO><VERSION>0.8.0.0</VERSION></NEWVERSIONINFO>", -1, ""},
        {"version outside", "<newversioninfo>x</newversioninfo>\n<version>0.8.0.0</version>", 1, "0.8.0.0"},
        {"empty info", "<newversioninfo></newversioninfo><version>0.8.0.0</version>", -1, ""},
        {"marks reversed", "</newversioninfo>x<newversioninfo><version>0.8.0.0</version>", -1, ""},
        {"no version", "<newversioninfo><changes>c</changes></newversioninfo>", 0, ""},
        {"empty version", "<newversioninfo><version></version></newversioninfo>", 0, ""},
        {"nothing", "", -1, ""},
        {"unreadable version", "<newversioninfo><version>0.7.x.y</version><changes>c</changes></newversioninfo>",
         0, "0.7.x.y", true},
    };
    for (const ParseCase& c : cases) {
        TMyCheckUpdate checker(QStringLiteral("http://127.0.0.1:9/u"), kRunning, {});
        checker.ServerReply = QString::fromLatin1(c.reply);
        if (c.throws)
            EXPECT_THROW(checker.ParseUpdateReply(), Error) << c.name;
        else
            EXPECT_NO_THROW(checker.ParseUpdateReply()) << c.name;
        EXPECT_EQ(checker.GetNeedUpdate(), c.flag) << c.name;
        EXPECT_EQ(checker.newVInfo.version, QLatin1String(c.version)) << c.name;
    }
}

TEST(CheckUpdateParseTest, TakesEveryElementFromTheWholeReplyExactly)
{
    TMyCheckUpdate checker(QStringLiteral("http://127.0.0.1:9/u"), kRunning, {});
    checker.ServerReply = QStringLiteral(
        "<downloadurl>http://127.0.0.1:9/setup.exe</downloadurl>"
        "<newversioninfo><version>0.8.0.0</version><changes> Faster &amp; smaller </changes></newversioninfo>"
        "<moreinfourl>http://127.0.0.1:9/news</moreinfourl>");
    checker.ParseUpdateReply();
    EXPECT_EQ(checker.GetNeedUpdate(), 1);
    EXPECT_EQ(checker.newVInfo.changes, QStringLiteral(" Faster &amp; smaller "));
    EXPECT_EQ(checker.newVInfo.downloadUrl, QStringLiteral("http://127.0.0.1:9/setup.exe"));
    EXPECT_EQ(checker.newVInfo.moreInfoUrl, QStringLiteral("http://127.0.0.1:9/news"));
    checker.ResetNeedUpdateFlag();
    EXPECT_EQ(checker.GetNeedUpdate(), 0);
}

int g_handlerCalls = 0;
QString g_handlerText;
void Handler(const QString& tmpStr)
{
    ++g_handlerCalls;
    g_handlerText = tmpStr;
}

class CheckUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BypassProxies();
        g_handlerCalls = 0;
        g_handlerText = QStringLiteral("not called");
    }
};

TEST_F(CheckUpdateTest, AReplyThatDoesNotReadEndsWithoutAResultOrHandlerCall)
{
    TMyCheckUpdate checker(QStringLiteral("http://127.0.0.1:9/u"), kRunning, {});
    checker.OnReceivedUpdate = &Handler;
    EXPECT_THROW(GetUpdateInfoSuccess(checker.updateInfoURL,
                                      QStringLiteral("<newversioninfo><version>0.7</version></newversioninfo>"), {}),
                 Error);
    EXPECT_EQ(checker.GetNeedUpdate(), 0);
    EXPECT_EQ(g_handlerCalls, 0);
}

TEST_F(CheckUpdateTest, StartAsksTheServerAndDropsTheStartCountAfterTheFirstQuery)
{
    LoopbackHttpServer server(HttpReply(
        "200 OK", "<newversioninfo><version>0.8.0.0</version><changes>New</changes>"
                  "<downloadurl>http://127.0.0.1:9/s.exe</downloadurl></newversioninfo>"));
    TMyCheckUpdate checker(server.url("/upd/check?i=3"), kRunning, {});
    EXPECT_EQ(CurrentCheckUpdate, &checker);

    checker.Start(&Handler);
    EXPECT_EQ(checker.updateInfoURL, server.url("/upd/check"));
    ASSERT_TRUE(WaitUntil([] { return g_handlerCalls == 1; }));
    EXPECT_EQ(g_handlerText, QString());
    EXPECT_EQ(checker.GetNeedUpdate(), 1);
    EXPECT_EQ(checker.newVInfo.changes, QStringLiteral("New"));
    EXPECT_EQ(checker.newVInfo.downloadUrl, QStringLiteral("http://127.0.0.1:9/s.exe"));
    EXPECT_TRUE(checker.ServerError.isEmpty());
    EXPECT_EQ(server.requestLine(0), QByteArray("GET /upd/check?i=3 HTTP/1.1"));
    EXPECT_FALSE(server.requests().value(0).toLower().contains("cookie"));

    // A second query clears the last texts at once and asks the bare address; without a
    // handler nothing is called, but the reply is still read.
    server.setReply(HttpReply("404 Not Found", "gone"));
    checker.Start(nullptr);
    EXPECT_TRUE(checker.ServerReply.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return checker.GetNeedUpdate() == -1; }));
    EXPECT_EQ(server.requestLine(1), QByteArray("GET /upd/check HTTP/1.1"));
    EXPECT_TRUE(checker.ServerReply.isEmpty());
    EXPECT_TRUE(checker.ServerError.contains(QLatin1String("404"))) << checker.ServerError.toStdString();
    EXPECT_EQ(g_handlerCalls, 1);
}

TEST_F(CheckUpdateTest, AFailedQueryIsReportedToTheHandlerAsNoValidReply)
{
    TMyCheckUpdate checker(QStringLiteral("http://127.0.0.1:%1/upd").arg(RefusedPort()), kRunning, {});
    checker.Start(&Handler);
    ASSERT_TRUE(WaitUntil([] { return g_handlerCalls == 1; }));
    EXPECT_EQ(checker.GetNeedUpdate(), -1);
    EXPECT_TRUE(checker.ServerReply.isEmpty());
    EXPECT_FALSE(checker.ServerError.isEmpty());
}

TEST_F(CheckUpdateTest, AReplyAfterTheCheckerIsGoneIsDropped)
{
    LoopbackHttpServer server(HttpReply("200 OK", "<newversioninfo><version>0.8.0.0</version></newversioninfo>"));
    server.Hold();
    auto checker = std::make_unique<TMyCheckUpdate>(server.url("/upd"), kRunning, QString());
    checker->Start(&Handler);
    ASSERT_TRUE(WaitUntil([&] { return server.requests().size() == 1; }));
    checker.reset();
    EXPECT_EQ(CurrentCheckUpdate, nullptr);

    server.Release();
    ASSERT_TRUE(WaitUntil([&] { return server.repliesSent() == 1; }));
    PumpFor(300);
    EXPECT_EQ(g_handlerCalls, 0);
}

TEST_F(CheckUpdateTest, OnlyTheLastCheckerIsForgottenByItsOwnDestruction)
{
    auto first = std::make_unique<TMyCheckUpdate>(QStringLiteral("a"), kRunning, QString());
    TMyCheckUpdate second(QStringLiteral("b"), kRunning, QString());
    first.reset();
    EXPECT_EQ(CurrentCheckUpdate, &second);
}

TEST(CheckUpdateAddressTest, OnlyWebAddressesWithAHostAreHandedOn)
{
    const struct {
        const char* address;
        bool ok;
    } cases[] = {
        {"http://127.0.0.1:9/setup.exe", true},
        {"https://downloads.example.org/ondrava/setup.exe?x=1#top", true},
        {"HTTP://EXAMPLE.ORG/setup.exe", true},
        {"http://[::1]/setup.exe", true},
        {"", false},
        {"setup.exe", false},
        {"/usr/bin/xterm", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"ftp://example.org/setup.exe", false},
        {"http:setup.exe", false},
        {"http:///setup.exe", false},
        {"xterm -e sh", false},
        {"http://example.org/a b.exe", false},
        {" http://example.org/setup.exe", false},
        {"http://example.org/setup.exe\n", false},
        {"http://example.org/\r\nsetup.exe", false},
        {"http://example.org/\tsetup.exe", false},
        {"http://example.org/\x01setup.exe", false},
        {"\"http://example.org/setup.exe\" --flag", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebDownloadAddress(QString::fromUtf8(c.address)), c.ok) << c.address;
}

}  // namespace
