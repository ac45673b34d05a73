#pragma once
// The program's taskbar or dock entry through the launcher-entry signal that KDE Plasma's task
// manager and the common docks read: com.canonical.Unity.LauncherEntry.Update(app URI,
// properties), the URI being "application://" + the desktop entry's file name.
#include "platform/DesktopBus.h"
#include "platform/TaskbarProgress.h"

#include <QDBusConnection>
#include <QVariantMap>

#include <optional>

namespace ondrava {

class DesktopTaskbarProgress : public TaskbarProgress {
public:
    // The user's session bus, found at the first call.
    DesktopTaskbarProgress();
    // A bus of the caller's choosing (a private bus in tests).
    explicit DesktopTaskbarProgress(const QDBusConnection& bus);

    // "progress" and "progress-visible" true.
    void SetProgress(double fraction) override;
    // "progress-visible" false.
    void HideProgress() override;
    // "urgent"; a withdrawal is sent only after a request for attention.
    void SetUrgent(bool urgent) override;

    static QString AppUri();
    static constexpr const char* kInterface = "com.canonical.Unity.LauncherEntry";
    static constexpr const char* kPath = "/org/example/ondrava/LauncherEntry";

private:
    void Update(const QVariantMap& properties);
    SessionBusOnDemand m_bus;
    bool m_urgent = false;
};

}  // namespace ondrava
