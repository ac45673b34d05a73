// The HTTP worker against a loopback server: what is sent, how every outcome reaches the
// callback (once, on the user-interface thread) and that the worker cleans up after itself.
#include "update/HTTPThread.h"

#include "LoopbackHttpServer.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace ondrava;
using namespace updatetest;

namespace {

struct Call {
    QString url, reply, error;
    bool onUiThread = false;
};
std::vector<Call> g_calls;
std::vector<Call> g_otherCalls;

void Record(const QString& url, const QString& reply, const QString& error)
{
    g_calls.push_back({url, reply, error, QThread::currentThread() == QCoreApplication::instance()->thread()});
}

void RecordOther(const QString& url, const QString& reply, const QString& error)
{
    g_otherCalls.push_back({url, reply, error, QThread::currentThread() == QCoreApplication::instance()->thread()});
}

void RecordAndThrow(const QString& url, const QString& reply, const QString& error)
{
    Record(url, reply, error);
    throw std::runtime_error("callback failed");
}

void StartGet(const QString& url, TOnGetSuccess callback = &Record, const QString& cookie = {})
{
    (new THTTPThread)->Get(url, callback, cookie);
}

class HTTPThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BypassProxies();
        g_calls.clear();
        g_otherCalls.clear();
    }
    bool WaitCalls(size_t n) { return WaitUntil([n] { return g_calls.size() >= n; }); }
};

TEST_F(HTTPThreadTest, SendsTheRequestLineUserAgentAndCookieOnlyWhenGiven)
{
    LoopbackHttpServer server;
    StartGet(server.url("/upd/check.php?i=3"), &Record, QStringLiteral("a=1"));
    ASSERT_TRUE(WaitCalls(1));
    StartGet(server.url("/plain"));
    ASSERT_TRUE(WaitCalls(2));

    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].startsWith("GET /upd/check.php?i=3 HTTP/1.1\r\n")) << requests[0].constData();
    EXPECT_TRUE(requests[0].contains("\r\nUser-Agent: Qorv Desktop 1.0 (Win)\r\n"));
    EXPECT_TRUE(requests[0].contains("\r\nCookie:a=1\r\n")) << requests[0].constData();

    EXPECT_TRUE(requests[1].startsWith("GET /plain HTTP/1.1\r\n"));
    EXPECT_TRUE(requests[1].contains("\r\nUser-Agent: Qorv Desktop 1.0 (Win)\r\n"));
    EXPECT_FALSE(requests[1].toLower().contains("cookie")) << requests[1].constData();
}

struct OutcomeCase {
    const char* name;
    QByteArray reply;          // what the server answers
    QString expectedReply;     // the text handed to the callback
    const char* errorContains; // nullptr: no error; otherwise a non-empty error holding this
};

class HTTPThreadOutcomeTest : public HTTPThreadTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(HTTPThreadOutcomeTest, ReachesTheCallbackOnceOnTheUiThread)
{
    const OutcomeCase& c = GetParam();
    LoopbackHttpServer server(c.reply);
    const QString url = server.url("/q");
    StartGet(url);
    ASSERT_TRUE(WaitCalls(1));
    PumpFor(100);  // a second call would show up here
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].url, url);
    EXPECT_TRUE(g_calls[0].onUiThread);
    EXPECT_EQ(g_calls[0].reply, c.expectedReply);
    if (c.errorContains) {
        EXPECT_FALSE(g_calls[0].error.isEmpty());
        EXPECT_TRUE(g_calls[0].error.contains(QLatin1String(c.errorContains))) << g_calls[0].error.toStdString();
    } else {
        EXPECT_TRUE(g_calls[0].error.isEmpty()) << g_calls[0].error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, HTTPThreadOutcomeTest,
    ::testing::Values(
        OutcomeCase{"Ok", HttpReply("200 OK", "<newversioninfo>x</newversioninfo>", "Content-Type: text/xml\r\n"),
                    QStringLiteral("<newversioninfo>x</newversioninfo>"), nullptr},
        OutcomeCase{"OkUtf8WithoutCharset", HttpReply("200 OK", "Gr\xc3\xbc\xc3\x9f" "e"), QStringLiteral(u"Grüße"), nullptr},
        OutcomeCase{"NoContent", HttpReply("204 No Content", ""), QString(), nullptr},
        OutcomeCase{"Windows1251", HttpReply("200 OK", "\xcf\xf0\xe8\xe2\xe5\xf2", "Content-Type: text/plain; charset=windows-1251\r\n"),
                    QStringLiteral(u"Привет"), nullptr},
        OutcomeCase{"NotFound", HttpReply("404 Not Found", "<newversioninfo>page</newversioninfo>"), QString(), "404 Not Found"},
        OutcomeCase{"ServerError", HttpReply("500 Internal Server Error", "oops"), QString(), "500"},
        OutcomeCase{"RedirectNotFollowed",
                    HttpReply("302 Found", "moved", "Location: http://127.0.0.1:9/elsewhere\r\n"), QString(), "302"},
        OutcomeCase{"NotHttp", "this is not an HTTP reply\r\n\r\n", QString(), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HTTPThreadTest, RefusedPortAndBadAddressesFailThroughTheErrorText)
{
    const QString urls[] = {
        QStringLiteral("http://127.0.0.1:%1/q").arg(RefusedPort()),
        QStringLiteral("not an address"),
        QStringLiteral("file:///etc/hostname"),  // only web addresses are fetched
        QString(),
    };
    for (const QString& url : urls) {
        g_calls.clear();
        StartGet(url);
        ASSERT_TRUE(WaitCalls(1)) << url.toStdString();
        PumpFor(50);
        ASSERT_EQ(g_calls.size(), 1u) << url.toStdString();
        EXPECT_EQ(g_calls[0].url, url);
        EXPECT_TRUE(g_calls[0].reply.isEmpty()) << url.toStdString();
        EXPECT_FALSE(g_calls[0].error.isEmpty()) << url.toStdString();
    }
}

TEST_F(HTTPThreadTest, TwoRequestsInARowEachCallTheirOwnCallbackOnce)
{
    LoopbackHttpServer server;
    StartGet(server.url("/one"), &Record);
    StartGet(server.url("/two"), &RecordOther);
    ASSERT_TRUE(WaitUntil([] { return g_calls.size() + g_otherCalls.size() >= 2; }));
    PumpFor(100);
    ASSERT_EQ(g_calls.size(), 1u);
    ASSERT_EQ(g_otherCalls.size(), 1u);
    EXPECT_EQ(g_calls[0].url, server.url("/one"));
    EXPECT_EQ(g_otherCalls[0].url, server.url("/two"));
    EXPECT_EQ(g_calls[0].reply, QStringLiteral("ok"));
    EXPECT_EQ(g_otherCalls[0].reply, QStringLiteral("ok"));
}

TEST_F(HTTPThreadTest, ACallbackThatThrowsDoesNotStopTheNextRequest)
{
    LoopbackHttpServer server;
    StartGet(server.url("/first"), &RecordAndThrow);
    ASSERT_TRUE(WaitCalls(1));
    StartGet(server.url("/second"));
    ASSERT_TRUE(WaitCalls(2));
    EXPECT_EQ(g_calls[1].url, server.url("/second"));
    EXPECT_EQ(g_calls[1].reply, QStringLiteral("ok"));
}

TEST_F(HTTPThreadTest, TheUiThreadKeepsRunningWhileTheServerIsSlow)
{
    LoopbackHttpServer server;
    server.Hold();
    StartGet(server.url("/slow"));
    ASSERT_TRUE(WaitUntil([&] { return server.requests().size() == 1; }));
    PumpFor(100);
    EXPECT_TRUE(g_calls.empty());
    server.Release();
    ASSERT_TRUE(WaitCalls(1));
    EXPECT_EQ(g_calls[0].reply, QStringLiteral("ok"));
}

TEST_F(HTTPThreadTest, PostSendsTheBodyWithItsContentType)
{
    LoopbackHttpServer server(HttpReply("200 OK", "stored"));
    const QByteArray body = "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nvalue\r\n--b--\r\n";
    (new THTTPThread)->Post(server.url("/post"), body, QStringLiteral("multipart/form-data; boundary=b"), &Record, {});
    ASSERT_TRUE(WaitCalls(1));
    EXPECT_EQ(g_calls[0].reply, QStringLiteral("stored"));
    const QByteArray request = server.requests().value(0);
    EXPECT_TRUE(request.startsWith("POST /post HTTP/1.1\r\n"));
    EXPECT_TRUE(request.contains("\r\nContent-Type: multipart/form-data; boundary=b\r\n"));
    EXPECT_TRUE(request.endsWith("\r\n\r\n" + body));
}

// The program closing while a request is out: run in a child process of this test program,
// which starts a request and ends without running its event loop again: either while the
// server still holds the reply or after the reply is in and the worker waits to hand it over.
TEST_F(HTTPThreadTest, ClosingChild)
{
    const QByteArray port = qgetenv("ONDRAVA_TEST_EXIT_PORT");
    if (port.isEmpty())
        GTEST_SKIP() << "runs only as the child of ProgramClosesWhileARequestIsOut";
    StartGet(QStringLiteral("http://127.0.0.1:%1/exit").arg(QString::fromLatin1(port)));
    QThread::msleep(300);
}

TEST_F(HTTPThreadTest, ProgramClosesWhileARequestIsOut)
{
    for (const char* stage : {"pending", "answered"}) {
        LoopbackHttpServer server;
        if (QByteArray(stage) == "pending")
            server.Hold();
        qputenv("ONDRAVA_TEST_EXIT_PORT", QByteArray::number(server.port()));
        QByteArray output;
        const int code = testsupport::RunProgram(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=HTTPThreadTest.ClosingChild")}, &output, 20000);
        qunsetenv("ONDRAVA_TEST_EXIT_PORT");
        EXPECT_EQ(code, 0) << stage << "\n" << output.constData();
        EXPECT_FALSE(output.contains("QThread")) << output.constData();
        EXPECT_FALSE(output.contains("WARNING")) << output.constData();
        EXPECT_EQ(server.requests().size(), 1) << stage;
    }
}

}  // namespace
