#include "platform/Notifications.h"

namespace ondrava {

void RecordingNotifier::Notify(const QString& summary, const QString& body)
{
    calls.push_back({summary, body, {}});
}

void RecordingNotifier::NotifyWithFileActions(const QString& summary, const QString& body,
                                              const FileActions& actions)
{
    calls.push_back({summary, body, actions});
}

namespace {

Notifier*& InstalledNotifier()
{
    static Notifier* notifier = nullptr;
    return notifier;
}

}  // namespace

Notifier& CurrentNotifier()
{
    static RecordingNotifier fallback;
    Notifier* notifier = InstalledNotifier();
    return notifier ? *notifier : fallback;
}

void SetNotifier(Notifier* notifier) { InstalledNotifier() = notifier; }

}  // namespace ondrava
