#pragma once
// One HTTP request on a worker thread of its own. The outcome is handed to a plain
// callback on the user-interface thread; the object then frees itself.
#include <QByteArray>
#include <QString>

namespace ondrava {

using TOnGetSuccess = void (*)(const QString& _URL, const QString& _ResultString, const QString& _ErrorString);
using TOnPostSuccess = void (*)(const QString& _URL, const QString& _ResultString, const QString& _ErrorString);

// The User-Agent every request of the program carries.
inline constexpr char kHttpUserAgent[] = "Qorv Desktop 1.0 (Win)";

class THTTPThread {
public:
    // Created suspended: nothing runs until Get or Post. Create with new, call Get (or Post)
    // once and drop the pointer; the object deletes itself after its callback has run.
    THTTPThread();
    THTTPThread(const THTTPThread&) = delete;
    THTTPThread& operator=(const THTTPThread&) = delete;

    void Get(const QString& _URL, TOnGetSuccess _GetSuccess, const QString& _CookieStr);
    // multipartBody is sent as is with the given Content-Type (e.g. "multipart/form-data; boundary=...").
    void Post(const QString& _URL, const QByteArray& multipartBody, const QString& contentType,
              TOnPostSuccess _PostSuccess, const QString& _CookieStr);

private:
    ~THTTPThread();
    void Start();
    void Execute();  // on the worker thread
    void DoSuccess();  // on the user-interface thread

    bool isPost = false;
    QString URL;
    QByteArray PostData;
    QString PostContentType;
    TOnGetSuccess GetSuccess = nullptr;
    TOnPostSuccess PostSuccess = nullptr;
    QString ServerReplyStr;
    QString ServerErrorStr;
    QString CookieStr;
};

}  // namespace ondrava
