// Update replies that are empty, cut short, binary, enormous or in the wrong encoding, through
// the real request worker from a loopback server: the check always ends, never crashes, and a
// reply that does not read offers no newer version.
#include "update/CheckUpdate.h"
#include "update/LoopbackHttpServer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace ondrava;
using namespace updatetest;

namespace {

int g_handlerCalls = 0;
void Handler(const QString&)
{
    ++g_handlerCalls;
}

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(7);
    for (char& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

const QByteArray kGoodReply =
    "<newversioninfo><version>9.0.0.0</version><changes>New</changes>"
    "<downloadurl>http://127.0.0.1:9/setup</downloadurl></newversioninfo>";

}  // namespace

TEST(UpdateReplyFaultsTest, BadRepliesEndTheCheckWithoutHarm)
{
    BypassProxies();
    const struct Case {
        const char* name;
        QByteArray reply;     // the whole HTTP reply
        bool newerAllowed;    // the reply still holds a readable newer version
    } cases[] = {
        {"empty body", HttpReply("200 OK", ""), false},
        {"no body and no length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", false},
        {"cut short before its length", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n"
                                        "<newversioninfo><version>9.0", false},
        {"cut inside the version", HttpReply("200 OK", "<newversioninfo><version>9.0"), false},
        {"not HTTP at all", RandomBytes(4096), false},
        {"binary body", HttpReply("200 OK", RandomBytes(65536)), false},
        {"binary around a reply", HttpReply("200 OK", RandomBytes(3000) + kGoodReply + RandomBytes(3000)), true},
        {"enormous body", HttpReply("200 OK", QByteArray(40 << 20, 'v') + kGoodReply), true},
        {"declared UTF-16, sent as 8-bit", HttpReply("200 OK", kGoodReply, "Content-Type: text/xml; charset=utf-16\r\n"), true},
        {"unknown charset", HttpReply("200 OK", kGoodReply, "Content-Type: text/xml; charset=x-nothing\r\n"), true},
        {"UTF-16 without a declaration",
         HttpReply("200 OK", QByteArray("\xff\xfe", 2) +
                                 QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(kGoodReply).utf16()),
                                            kGoodReply.size() * 2)),
         true},
        {"error status with a reply", HttpReply("500 Internal Server Error", kGoodReply), false},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_handlerCalls = 0;
        LoopbackHttpServer server(c.reply);
        TMyCheckUpdate checker(server.url(QStringLiteral("/upd")), QStringLiteral("0.7.1.37"), {});
        QElapsedTimer took;
        took.start();
        checker.Start(&Handler);
        ASSERT_TRUE(WaitUntil([&] { return server.repliesSent() == 1; }, 60000));
        // The check has ended once its texts arrived; a reply that does not read leaves no
        // other trace, so give it a moment.
        WaitUntil([&] { return g_handlerCalls > 0 || !checker.ServerReply.isEmpty() || !checker.ServerError.isEmpty(); },
                  60000);
        PumpFor(200);
        EXPECT_LT(took.elapsed(), 60000);
        EXPECT_LE(g_handlerCalls, 1);
        const int flag = checker.GetNeedUpdate();
        EXPECT_TRUE(flag >= -1 && flag <= 1);
        if (!c.newerAllowed) {
            EXPECT_NE(flag, 1) << "a reply without a readable version offered one";
        }
        if (flag == 1) {
            EXPECT_EQ(checker.newVInfo.version, QStringLiteral("9.0.0.0"));
            EXPECT_TRUE(IsWebDownloadAddress(checker.newVInfo.downloadUrl) || checker.newVInfo.downloadUrl.isEmpty());
        }
    }
}
