// The window's side of the update check over the model: the notice and its hand-off, the
// settings it writes, the menu's check and the silent check against a loopback server.
#include "window/FakeFormServices.h"
#include "support/TestSupport.h"
#include "update/LoopbackHttpServer.h"

#include "app/RegZelt.h"
#include "platform/Shell.h"
#include "update/CheckUpdate.h"
#include "update/UpdateNotice.h"
#include "window/MainF.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace ondrava;
using updatetest::HttpReply;
using updatetest::LoopbackHttpServer;
using updatetest::PumpFor;
using updatetest::WaitUntil;

namespace {

// The stores of this program live in a configuration folder of their own, set before any
// settings object reads the environment.
struct ConfigHome {
    ConfigHome() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    QTemporaryDir dir;
};
const ConfigHome configHome;

const QString kNotice = QStringLiteral("Ondrava %1 is available. What's new:");
const QString kQuestion = QStringLiteral("Download it now?");
const QString kLatest = QStringLiteral("You have the latest version.");
const QString kFailed = QStringLiteral("Could not check for updates.");

class AnsweringServices : public test::FakeFormServices {
public:
    QStringList questions;
    bool answer = true;
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return answer;
    }
};

class UpdateNoticeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        updatetest::BypassProxies();
        QDir(configHome.dir.path() + QStringLiteral("/Zelt")).removeRecursively();
        SetShell(&shell);
        form->MyReg = std::make_unique<TZeltRegistry>(QStringLiteral("Ondrava"));
        form->LNGA[8] = kNotice;
        form->LNGA[9] = kQuestion;
        form->LNGA[11] = kLatest;
        form->LNGA[12] = kFailed;
    }
    void TearDown() override { SetShell(nullptr); }

    void MakeChecker(const QString& url = QStringLiteral("http://127.0.0.1:9/update"))
    {
        form->MyCheckUpdate = std::make_unique<TMyCheckUpdate>(url, QStringLiteral("0.7.1.37"), QString());
    }
    // A checker that has found version 0.8.0.40 with the given download address.
    void FoundUpdate(const QString& downloadUrl)
    {
        MakeChecker();
        form->MyCheckUpdate->needUpdateFlag = 1;
        form->MyCheckUpdate->newVInfo.version = QStringLiteral("0.8.0.40");
        form->MyCheckUpdate->newVInfo.changes = QStringLiteral("Faster start");
        form->MyCheckUpdate->newVInfo.downloadUrl = downloadUrl;
    }
    QString Setting(const QString& name) const { return form->MyReg->ReadStringPar(name); }
    // A download manager's program file, made when exists is set.
    QString Manager(const QString& name, bool exists)
    {
        const QString path = tools.path() + QLatin1Char('/') + name;
        if (exists)
            testsupport::WriteScript(path, "exit 0\n");
        TZeltRegistry(name).WriteStringPar(QStringLiteral("ExeFile"), path);
        return path;
    }

    RecordingShell shell;
    AnsweringServices services;
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>(services);
    QTemporaryDir tools;
};

const QString kSetup = QStringLiteral("https://downloads.example.org/ondrava-setup");

TEST_F(UpdateNoticeTest, OffersTheFoundVersionOnceWithItsChanges)
{
    FoundUpdate(kSetup);
    services.answer = false;
    form->ShowUpdateNotice();
    ASSERT_EQ(services.questions.size(), 1);
    EXPECT_EQ(services.questions[0], QStringLiteral("Ondrava 0.8.0.40 is available. What's new:\r\n"
                                                     "Faster start.\r\nDownload it now?"));
    EXPECT_TRUE(shell.calls.empty());  // answered No
    EXPECT_EQ(form->MyCheckUpdate->GetNeedUpdate(), 0);

    form->ShowUpdateNotice();
    EXPECT_EQ(services.questions.size(), 1);
}

TEST_F(UpdateNoticeTest, HandsTheAddressToParvelThenTesslyThenTheBrowser)
{
    struct Case {
        const char* name;
        std::optional<bool> parvel;  // nullopt: no "ExeFile"; else whether its file exists
        std::optional<bool> tessly;
        const char* expectedProgram;  // nullptr: the browser
    };
    const Case cases[] = {
        {"both present", true, true, "Parvel"},
        {"Parvel's file missing", false, true, "Tessly"},
        {"only Tessly", std::nullopt, true, "Tessly"},
        {"neither file exists", false, false, nullptr},
        {"no manager at all", std::nullopt, std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(configHome.dir.path() + QStringLiteral("/Zelt")).removeRecursively();
        shell.calls.clear();
        QDir(tools.path()).removeRecursively();
        QDir().mkpath(tools.path());
        QString parvel, tessly;
        if (c.parvel)
            parvel = Manager(QStringLiteral("Parvel"), *c.parvel);
        if (c.tessly)
            tessly = Manager(QStringLiteral("Tessly"), *c.tessly);
        FoundUpdate(kSetup);

        form->ShowUpdateNotice();

        ASSERT_EQ(shell.calls.size(), 1u);
        const RecordingShell::Call& call = shell.calls[0];
        if (!c.expectedProgram) {
            EXPECT_EQ(call.kind, QStringLiteral("OpenUrl"));
            EXPECT_EQ(call.target, kSetup);
        } else {
            EXPECT_EQ(call.kind, QStringLiteral("StartDetached"));
            EXPECT_EQ(call.target, QLatin1String(c.expectedProgram) == QLatin1String("Parvel") ? parvel : tessly);
            EXPECT_EQ(call.args, QStringList{kSetup});
        }
    }
}

TEST_F(UpdateNoticeTest, NeverHandsOnAnAddressThatIsNotOnTheWeb)
{
    Manager(QStringLiteral("Parvel"), true);
    const QString notWeb[] = {
        QString(),
        QStringLiteral("/usr/bin/xterm"),
        QStringLiteral("file:///usr/bin/xterm"),
        QStringLiteral("ftp://downloads.example.org/setup"),
        QStringLiteral("javascript:alert(1)"),
        QStringLiteral("https://downloads.example.org/a\"-evil\"b"),
        QStringLiteral("http:///no-host"),
    };
    for (const QString& url : notWeb) {
        SCOPED_TRACE(url.toStdString());
        services.questions.clear();
        services.informations.clear();
        FoundUpdate(url);

        form->ShowUpdateNotice();

        EXPECT_TRUE(shell.calls.empty());
        EXPECT_TRUE(services.questions.isEmpty());  // nothing to download, so nothing is asked
        ASSERT_EQ(services.informations.size(), 1);
        EXPECT_TRUE(services.informations[0].startsWith(QStringLiteral("Ondrava 0.8.0.40 is available.")));
        EXPECT_EQ(form->MyCheckUpdate->GetNeedUpdate(), 0);
    }
}

TEST_F(UpdateNoticeTest, TrimsTheLayoutAroundTheAddressBeforeJudgingIt)
{
    struct Case {
        const char* name;
        QString downloadUrl;
        bool withManager;
    };
    const Case cases[] = {
        {"indented on its own line, to the browser", QStringLiteral("\n    ") + kSetup + QStringLiteral("\n  "), false},
        {"tabs and CR LF, to Parvel", QStringLiteral("\t ") + kSetup + QStringLiteral(" \r\n"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(configHome.dir.path() + QStringLiteral("/Zelt")).removeRecursively();
        shell.calls.clear();
        services.questions.clear();
        services.informations.clear();
        const QString parvel = c.withManager ? Manager(QStringLiteral("Parvel"), true) : QString();
        FoundUpdate(c.downloadUrl);

        form->ShowUpdateNotice();

        EXPECT_TRUE(services.informations.isEmpty());
        ASSERT_EQ(services.questions.size(), 1);  // the offer keeps its Yes/No
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].target, c.withManager ? parvel : kSetup);
        if (c.withManager) {
            EXPECT_EQ(shell.calls[0].args, QStringList{kSetup});
        }
    }

    // A blank inside the address is not layout: nothing is opened.
    shell.calls.clear();
    services.questions.clear();
    FoundUpdate(QStringLiteral(" https://downloads.example.org/a b "));
    form->ShowUpdateNotice();
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(UpdateNoticeTest, PrettyPrintedReplyFromTheServerIsOffered)
{
    const QByteArray reply = "<newversioninfo>\n"
                             "  <version>0.8.0.40</version>\n"
                             "  <changes>More devices</changes>\n"
                             "  <downloadurl>\n    https://downloads.example.org/setup\n  </downloadurl>\n"
                             "</newversioninfo>\n";
    LoopbackHttpServer server(HttpReply("200 OK", reply));
    MakeChecker(server.url(QStringLiteral("/update")));

    form->CheckUpdateActionExecute();

    ASSERT_TRUE(WaitUntil([&] { return !services.informations.isEmpty() || !services.questions.isEmpty(); }));
    PumpFor(50);
    EXPECT_TRUE(services.informations.isEmpty());
    EXPECT_EQ(services.questions.size(), 1);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].target, QStringLiteral("https://downloads.example.org/setup"));
}

TEST_F(UpdateNoticeTest, WritesTheDayOnEveryCallAndStopsCountingAfterAnAnswer)
{
    struct Case {
        std::optional<int> flag;  // nullopt: no checker (start-up stopped early)
        const char* atinmb;
    };
    const Case cases[] = {{-1, ""}, {0, "1"}, {1, "1"}, {std::nullopt, ""}};
    services.answer = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flag ? *c.flag : 99);
        form->MyReg->WriteStringPar(QStringLiteral("LastFUDate"), QStringLiteral("43466"));
        form->MyReg->DeleteStringPar(QStringLiteral("atinmb"));
        form->MyCheckUpdate.reset();
        if (c.flag) {
            FoundUpdate(kSetup);
            form->MyCheckUpdate->needUpdateFlag = *c.flag;
        }

        form->ShowUpdateNotice();

        EXPECT_EQ(Setting(QStringLiteral("LastFUDate")), QString::number(TodayDayNumber()));
        EXPECT_EQ(Setting(QStringLiteral("atinmb")), QLatin1String(c.atinmb));
    }
    // 1 January 2019 is day 43466.
    EXPECT_EQ(QDate(1899, 12, 30).daysTo(QDate(2019, 1, 1)), 43466);
}

TEST_F(UpdateNoticeTest, EveryStepToleratesAMissingStoreAndChecker)
{
    form->MyReg.reset();
    form->NeedStartFastUpdate = true;
    form->StartFastUpdateCheck();
    form->CheckUpdateActionExecute();
    form->ShowUpdateNotice();
    FoundUpdate(kSetup);
    form->ShowUpdateNotice();  // still offers without a store
    EXPECT_FALSE(form->NeedStartFastUpdate);
    EXPECT_EQ(services.questions.size(), 1);
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(UpdateNoticeTest, MenuCheckAnswersEachOutcome)
{
    LoopbackHttpServer server;
    struct Case {
        const char* name;
        QByteArray body;  // empty: nothing listens
        QStringList informations;
        int questions;
    };
    const Case cases[] = {
        {"no answer", {}, {kFailed}, 0},
        {"no valid reply", "<version>0.9.0.0</version>", {kFailed}, 0},
        {"up to date", "<newversioninfo><version>0.7.1.37</version></newversioninfo>", {kLatest}, 0},
        {"newer version",
         "<newversioninfo><version>0.8.0.40</version><changes>More devices</changes>"
         "<downloadurl>" + server.url(QStringLiteral("/setup")).toUtf8() + "</downloadurl></newversioninfo>",
         {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.informations.clear();
        services.questions.clear();
        shell.calls.clear();
        form->MyReg->DeleteStringPar(QStringLiteral("LastFUDate"));
        server.setReply(HttpReply("200 OK", c.body));
        MakeChecker(c.body.isEmpty() ? QStringLiteral("http://127.0.0.1:%1/update").arg(updatetest::RefusedPort())
                                     : server.url(QStringLiteral("/update?i=3")));
        form->NeedStartFastUpdate = true;

        form->CheckUpdateActionExecute();

        EXPECT_FALSE(form->NeedStartFastUpdate);
        ASSERT_TRUE(WaitUntil([&] { return !services.informations.isEmpty() || !services.questions.isEmpty(); }));
        PumpFor(50);
        EXPECT_EQ(services.informations, c.informations);
        EXPECT_EQ(services.questions.size(), c.questions);
        // The notice ran (and stamped the day) unless the check failed.
        EXPECT_EQ(Setting(QStringLiteral("LastFUDate")).isEmpty(), c.informations == QStringList{kFailed});
    }
    // The answer Yes opened the offered address in the browser.
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].target, server.url(QStringLiteral("/setup")));
}

TEST_F(UpdateNoticeTest, SilentCheckRunsOncePerRunAndIsOfferedAtTheNextNotice)
{
    LoopbackHttpServer server(HttpReply("200 OK", "<newversioninfo><version>0.8.0.40</version>"
                                                  "<downloadurl>https://downloads.example.org/s</downloadurl>"
                                                  "</newversioninfo>"));
    MakeChecker(server.url(QStringLiteral("/update")));
    form->StartFastUpdateCheck();  // not due
    PumpFor(100);
    EXPECT_EQ(server.requests().size(), 0);

    form->NeedStartFastUpdate = true;
    form->StartFastUpdateCheck();
    form->StartFastUpdateCheck();
    ASSERT_TRUE(WaitUntil([&] { return form->MyCheckUpdate->GetNeedUpdate() == 1; }));
    PumpFor(100);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(services.informations.isEmpty());  // silent
    EXPECT_TRUE(services.questions.isEmpty());

    form->ShowUpdateNotice();
    EXPECT_EQ(services.questions.size(), 1);
}

TEST_F(UpdateNoticeTest, ReplyAfterTheCheckerIsGoneIsDropped)
{
    for (const bool wholeWindow : {false, true}) {
        SCOPED_TRACE(wholeWindow ? "window freed" : "checker freed");
        LoopbackHttpServer server(HttpReply("200 OK", "<newversioninfo><version>0.9.0.0</version></newversioninfo>"));
        server.Hold();
        form = std::make_unique<TMainForm>(services);
        MakeChecker(server.url(QStringLiteral("/update")));
        services.informations.clear();
        services.questions.clear();

        form->CheckUpdateActionExecute();
        ASSERT_TRUE(WaitUntil([&] { return server.requests().size() == 1; }));
        if (wholeWindow)
            form.reset();
        else
            form->MyCheckUpdate.reset();
        server.Release();
        ASSERT_TRUE(WaitUntil([&] { return server.repliesSent() == 1; }));
        PumpFor(200);

        EXPECT_TRUE(services.informations.isEmpty());
        EXPECT_TRUE(services.questions.isEmpty());
    }
}

}  // namespace
