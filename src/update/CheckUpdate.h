#pragma once
// The update checker: asks the product's site for the newest version through one
// THTTPThread request and reads the reply into TNewVersionInfo.
#include <QString>

namespace ondrava {

class TNewVersionInfo {
public:
    QString version, changes, downloadUrl, moreInfoUrl;
};

using TOnReceivedUpdate = void (*)(const QString& tmpStr);

class TMyCheckUpdate {
public:
    // Becomes CurrentCheckUpdate.
    TMyCheckUpdate(const QString& _updateInfoUrl, const QString& _currVersion, const QString& _CookieStr);
    // Clears CurrentCheckUpdate when it is this checker, so that a late reply is dropped.
    ~TMyCheckUpdate();
    TMyCheckUpdate(const TMyCheckUpdate&) = delete;
    TMyCheckUpdate& operator=(const TMyCheckUpdate&) = delete;

    // Begins one query and returns at once; nullptr = no handler. Afterwards updateInfoURL is
    // cut before its first "?", so only the first query of a run carries the start count.
    void Start(TOnReceivedUpdate _OnReceivedUpdate);
    // -1 no valid reply, 0 no newer version (or nothing read yet), 1 a newer version exists.
    int GetNeedUpdate() const;
    void ResetNeedUpdateFlag();

    QString updateInfoURL;
    QString currVersion;
    int needUpdateFlag = 0;
    QString CookieStr;
    QString ServerReply;
    QString ServerError;
    TOnReceivedUpdate OnReceivedUpdate = nullptr;
    TNewVersionInfo newVInfo;

    // Reads ServerReply into newVInfo and needUpdateFlag; throws ondrava::Error when the
    // version does not read as numbers (needUpdateFlag then stays 0).
    void ParseUpdateReply();
};

// The checker created last; nullptr once it is destroyed.
extern TMyCheckUpdate* CurrentCheckUpdate;

// The request's callback: stores the texts in CurrentCheckUpdate, reads the reply and calls
// its OnReceivedUpdate(""). Does nothing when no checker exists any more.
void GetUpdateInfoSuccess(const QString& _URL, const QString& _ResultString, const QString& _ErrorString);

// Reply version A newer than running version B, by the comparison of the update reply (first,
// second, then the rest as one number); throws ondrava::Error on a conversion error.
bool IsNewerVersion(const QString& a, const QString& b);

// True for an absolute http: or https: address with a host; only such an address is ever
// handed on from an update reply.
bool IsWebDownloadAddress(const QString& address);

}  // namespace ondrava
