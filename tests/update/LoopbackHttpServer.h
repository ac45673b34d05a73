#pragma once
// A tiny HTTP server for the update tests: listens on 127.0.0.1 at a port the system picks,
// serves one connection at a time with a canned reply and records every request's bytes.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace updatetest {

// A whole HTTP/1.1 reply with Content-Length and Connection: close.
inline QByteArray HttpReply(const QByteArray& statusLine, const QByteArray& body,
                            const QByteArray& extraHeaders = {})
{
    return "HTTP/1.1 " + statusLine + "\r\n" + extraHeaders + "Content-Length: "
           + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// Requests to these tests' servers must never be routed through a proxy from the environment.
inline void BypassProxies()
{
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "ALL_PROXY", "HTTPS_PROXY"})
        unsetenv(name);
    setenv("no_proxy", "*", 1);
    setenv("NO_PROXY", "*", 1);
}

// Runs the event loop until pred holds or timeoutMs has passed; returns pred().
template <typename Pred>
bool WaitUntil(Pred pred, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return pred();
}

// Runs the event loop for ms milliseconds (to show that something does not happen).
inline void PumpFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// A loopback port with nothing listening on it: bound by the system, then closed again.
inline quint16 RefusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(QByteArray reply = HttpReply("200 OK", "ok"))
        : m_reply(std::move(reply))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listen, 8);
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~LoopbackHttpServer()
    {
        m_stop = true;
        Release();
        m_thread.join();
        ::close(m_listen);
    }

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path
    QString url(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

    void setReply(const QByteArray& reply)
    {
        std::lock_guard lock(m_mutex);
        m_reply = reply;
    }

    // While held, a request is read and recorded but its reply waits for Release().
    void Hold()
    {
        std::lock_guard lock(m_mutex);
        m_hold = true;
    }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_hold = false;
        m_released.notify_all();
    }

    QList<QByteArray> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    int repliesSent() const { return m_sent; }

    // The first line of request i, e.g. "GET /path HTTP/1.1".
    QByteArray requestLine(int i) const
    {
        const QList<QByteArray> all = requests();
        return i < all.size() ? all[i].left(all[i].indexOf("\r\n")) : QByteArray();
    }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int conn = ::accept(m_listen, nullptr, nullptr);
            if (conn < 0)
                continue;
            const QByteArray request = ReadRequest(conn);
            QByteArray reply;
            {
                std::unique_lock lock(m_mutex);
                m_requests.append(request);
                m_released.wait(lock, [this] { return !m_hold || m_stop; });
                reply = m_reply;
            }
            qsizetype off = 0;
            while (off < reply.size()) {
                const ssize_t n = ::send(conn, reply.constData() + off, size_t(reply.size() - off), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                off += n;
            }
            ::shutdown(conn, SHUT_WR);
            ::close(conn);
            ++m_sent;
        }
    }

    // Reads the head and, when it declares one, the body of one request.
    static QByteArray ReadRequest(int conn)
    {
        QByteArray data;
        char buf[4096];
        qsizetype wanted = -1;
        while (wanted < 0 || data.size() < wanted) {
            pollfd p{conn, POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0)
                break;
            const ssize_t n = ::recv(conn, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            data.append(buf, n);
            const qsizetype headEnd = data.indexOf("\r\n\r\n");
            if (wanted < 0 && headEnd >= 0) {
                qsizetype length = 0;
                for (const QByteArray& line : data.left(headEnd).split('\n')) {
                    const QByteArray l = line.trimmed();
                    if (l.toLower().startsWith("content-length:"))
                        length = l.mid(15).trimmed().toLongLong();
                }
                wanted = headEnd + 4 + length;
            }
        }
        return data;
    }

    int m_listen = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sent{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_hold = false;
    QByteArray m_reply;
    QList<QByteArray> m_requests;
};

}  // namespace updatetest
