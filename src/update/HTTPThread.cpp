#include "update/HTTPThread.h"

#include "update/ReplyCharset.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <curl/curl.h>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace ondrava {

namespace {

// Whether the user-interface thread can still take a callback. Workers are detached and
// may outlive the application (a request is abandoned when the program closes), so this
// state is never freed and a worker checks it under its mutex before handing over.
struct AppGuard {
    std::mutex mutex;
    std::condition_variable handedOver;
    bool alive = false;
    bool hooked = false;
};

AppGuard& Guard()
{
    static AppGuard* guard = new AppGuard;  // intentionally never freed, see above
    return *guard;
}

void ApplicationGoing()
{
    AppGuard& g = Guard();
    std::lock_guard lock(g.mutex);
    g.alive = false;
    g.hooked = false;  // a later application hooks itself again
    g.handedOver.notify_all();
}

void WatchApplication()
{
    AppGuard& g = Guard();
    std::lock_guard lock(g.mutex);
    if (g.hooked || !QCoreApplication::instance())
        return;
    qAddPostRoutine(&ApplicationGoing);
    g.hooked = true;
    g.alive = true;
}

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t AppendBody(char* data, size_t size, size_t count, void* userdata)
{
    static_cast<QByteArray*>(userdata)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

// Keeps the last status line (after a 100 Continue there are two) for the error text.
size_t KeepStatusLine(char* data, size_t size, size_t count, void* userdata)
{
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(size * count)).trimmed();
    if (line.startsWith("HTTP/"))
        *static_cast<QByteArray*>(userdata) = line;
    return size * count;
}

struct CurlRequest {
    CURL* easy = curl_easy_init();
    curl_slist* headers = nullptr;
    ~CurlRequest()
    {
        curl_slist_free_all(headers);
        if (easy)
            curl_easy_cleanup(easy);
    }
};

// One blocking exchange. Returns the decoded body, or sets *error and returns empty.
QString Exchange(const QString& url, const QString& cookie, const QByteArray* postBody,
                 const QString& contentType, QString* error)
{
    CurlRequest req;
    if (!req.easy) {
        *error = QStringLiteral("Could not start the HTTP client");
        return {};
    }
    const QByteArray urlBytes = url.toUtf8();
    QByteArray body;
    QByteArray statusLine;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(req.easy, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(req.easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(req.easy, CURLOPT_USERAGENT, kHttpUserAgent);
    curl_easy_setopt(req.easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(req.easy, CURLOPT_NOSIGNAL, 1L);  // no alarm signals on a worker thread
    curl_easy_setopt(req.easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(req.easy, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(req.easy, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(req.easy, CURLOPT_HEADERFUNCTION, &KeepStatusLine);
    curl_easy_setopt(req.easy, CURLOPT_HEADERDATA, &statusLine);

    if (!cookie.isEmpty())
        req.headers = curl_slist_append(req.headers, ("Cookie:" + cookie.toUtf8()).constData());
    if (postBody) {
        req.headers = curl_slist_append(req.headers, ("Content-Type: " + contentType.toUtf8()).constData());
        curl_easy_setopt(req.easy, CURLOPT_POST, 1L);
        curl_easy_setopt(req.easy, CURLOPT_POSTFIELDS, postBody->constData());
        curl_easy_setopt(req.easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
    }
    if (req.headers)
        curl_easy_setopt(req.easy, CURLOPT_HTTPHEADER, req.headers);

    const CURLcode rc = curl_easy_perform(req.easy);
    if (rc != CURLE_OK) {
        *error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
        return {};
    }
    long status = 0;
    curl_easy_getinfo(req.easy, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) {
        // Redirects are not followed: they end the request like any other non-success status.
        *error = statusLine.isEmpty() ? QStringLiteral("HTTP status %1").arg(status)
                                      : QString::fromLatin1(statusLine);
        return {};
    }
    const char* contentTypeHeader = nullptr;
    curl_easy_getinfo(req.easy, CURLINFO_CONTENT_TYPE, &contentTypeHeader);
    return DecodeReplyBody(body, contentTypeHeader ? QByteArray(contentTypeHeader) : QByteArray());
}

}  // namespace

THTTPThread::THTTPThread() = default;
THTTPThread::~THTTPThread() = default;

void THTTPThread::Get(const QString& _URL, TOnGetSuccess _GetSuccess, const QString& _CookieStr)
{
    URL = _URL;
    CookieStr = _CookieStr;
    GetSuccess = _GetSuccess;
    isPost = false;
    Start();
}

void THTTPThread::Post(const QString& _URL, const QByteArray& multipartBody, const QString& contentType,
                       TOnPostSuccess _PostSuccess, const QString& _CookieStr)
{
    URL = _URL;
    CookieStr = _CookieStr;
    PostData = multipartBody;
    PostContentType = contentType;
    PostSuccess = _PostSuccess;
    isPost = true;
    Start();
}

void THTTPThread::Start()
{
    InitCurlOnce();
    WatchApplication();
    try {
        std::thread([this] { Execute(); }).detach();
    } catch (const std::exception& e) {
        // No worker: still answer exactly once, from the event loop (without one, nobody can).
        ServerErrorStr = QString::fromLocal8Bit(e.what());
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [this] { DoSuccess(); delete this; }, Qt::QueuedConnection);
        else
            delete this;
    }
}

void THTTPThread::Execute()
{
    try {
        ServerReplyStr = Exchange(URL, CookieStr, isPost ? &PostData : nullptr, PostContentType, &ServerErrorStr);
    } catch (const std::exception& e) {
        ServerReplyStr.clear();
        ServerErrorStr = QString::fromLocal8Bit(e.what());
    } catch (...) {
        ServerReplyStr.clear();
        ServerErrorStr.clear();
    }

    // Hand the outcome to the user-interface thread and wait until the callback has run.
    // When the application is going (or gone), the outcome is dropped.
    AppGuard& g = Guard();
    auto done = std::make_shared<bool>(false);
    {
        std::unique_lock lock(g.mutex);
        if (g.alive) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [this, done] {
                    AppGuard& guard = Guard();
                    {
                        std::lock_guard l(guard.mutex);
                        if (!guard.alive)
                            return;
                    }
                    DoSuccess();
                    std::lock_guard l(guard.mutex);
                    *done = true;
                    guard.handedOver.notify_all();
                },
                Qt::QueuedConnection);
            g.handedOver.wait(lock, [&] { return *done || !g.alive; });
        }
    }
    delete this;
}

void THTTPThread::DoSuccess()
{
    const TOnGetSuccess callback = isPost ? PostSuccess : GetSuccess;
    if (!callback)
        return;
    try {
        callback(URL, ServerReplyStr, ServerErrorStr);
    } catch (...) {
        // The callback's own error goes no further; the worker still ends normally.
    }
}

}  // namespace ondrava
