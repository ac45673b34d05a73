#include "update/CheckUpdate.h"

#include "common/Convert.h"
#include "common/Error.h"
#include "common/extFunc.h"
#include "update/HTTPThread.h"

#include <QUrl>

namespace ondrava {

TMyCheckUpdate* CurrentCheckUpdate = nullptr;

TMyCheckUpdate::TMyCheckUpdate(const QString& _updateInfoUrl, const QString& _currVersion,
                               const QString& _CookieStr)
    : updateInfoURL(_updateInfoUrl), currVersion(_currVersion), CookieStr(_CookieStr)
{
    CurrentCheckUpdate = this;
}

TMyCheckUpdate::~TMyCheckUpdate()
{
    // A reply still on its way must find no checker rather than a freed one.
    if (CurrentCheckUpdate == this)
        CurrentCheckUpdate = nullptr;
}

void TMyCheckUpdate::Start(TOnReceivedUpdate _OnReceivedUpdate)
{
    ServerError.clear();
    ServerReply.clear();
    OnReceivedUpdate = _OnReceivedUpdate;
    (new THTTPThread)->Get(updateInfoURL, &GetUpdateInfoSuccess, CookieStr);
    const qsizetype query = updateInfoURL.indexOf(QLatin1Char('?'));
    if (query >= 0)
        updateInfoURL.truncate(query);
}

int TMyCheckUpdate::GetNeedUpdate() const
{
    return needUpdateFlag;
}

void TMyCheckUpdate::ResetNeedUpdateFlag()
{
    needUpdateFlag = 0;
}

void TMyCheckUpdate::ParseUpdateReply()
{
    needUpdateFlag = -1;
    if (GetTagText(ServerReply, QStringLiteral("newversioninfo"), false).isEmpty())
        return;
    needUpdateFlag = 0;
    newVInfo.version = GetTagText(ServerReply, QStringLiteral("version"), false);
    newVInfo.changes = GetTagText(ServerReply, QStringLiteral("changes"), false);
    newVInfo.moreInfoUrl = GetTagText(ServerReply, QStringLiteral("moreinfourl"), false);
    newVInfo.downloadUrl = GetTagText(ServerReply, QStringLiteral("downloadurl"), false);
    if (newVInfo.version.isEmpty())
        return;
    if (IsNewerVersion(newVInfo.version, currVersion))
        needUpdateFlag = 1;
}

void GetUpdateInfoSuccess(const QString& /*_URL*/, const QString& _ResultString, const QString& _ErrorString)
{
    TMyCheckUpdate* c = CurrentCheckUpdate;
    if (!c)
        return;  // the checker is gone: the reply is dropped
    c->ServerReply = _ResultString;
    c->ServerError = _ErrorString;
    c->ParseUpdateReply();
    if (c->OnReceivedUpdate)
        c->OnReceivedUpdate(QString());
}

namespace {

// The part before the first "." (empty without one).
QString Head(const QString& text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : text.left(dot);
}

// Everything after the first "." (the text unchanged without one).
QString DropHead(const QString& text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? text : text.mid(dot + 1);
}

int VersionNumber(const QString& text)
{
    // Two different defaults tell a number from a text that does not read as one.
    const int value = StrToIntDef(text, 0);
    if (value != StrToIntDef(text, 1))
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

}  // namespace

bool IsNewerVersion(const QString& a, const QString& b)
{
    QString restA = a;
    QString restB = b;
    const int a1 = VersionNumber(Head(restA));
    restA = DropHead(restA);
    const int b1 = VersionNumber(Head(restB));
    restB = DropHead(restB);
    if (a1 != b1)
        return a1 > b1;

    const int a2 = VersionNumber(Head(restA));
    restA = DropHead(DropHead(restA));
    const int b2 = VersionNumber(Head(restB));
    restB = DropHead(DropHead(restB));
    if (a2 != b2)
        return a2 > b2;

    return VersionNumber(restA) > VersionNumber(restB);
}

bool IsWebDownloadAddress(const QString& address)
{
    for (const QChar ch : address) {
        // Blanks, line breaks and control characters never belong in an address handed on.
        if (ch.unicode() <= 0x20 || ch.unicode() == 0x7F || ch.category() == QChar::Other_Control
            || ch.category() == QChar::Other_Format || ch.isSpace())
            return false;
    }
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return false;
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    return !url.host().isEmpty();
}

}  // namespace ondrava
