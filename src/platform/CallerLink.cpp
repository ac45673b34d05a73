#include "platform/CallerLink.h"

namespace ondrava {

bool RecordingCallerLink::IsRunning(const QString& appName)
{
    asked << appName;
    return running.contains(appName);
}

void RecordingCallerLink::AnnounceConversionComplete(int downloadId)
{
    announced.push_back(downloadId);
}

namespace {

CallerLink*& InstalledLink()
{
    static CallerLink* link = nullptr;
    return link;
}

}  // namespace

CallerLink& CurrentCallerLink()
{
    static RecordingCallerLink fallback;
    CallerLink* link = InstalledLink();
    return link ? *link : fallback;
}

void SetCallerLink(CallerLink* link) { InstalledLink() = link; }

}  // namespace ondrava
