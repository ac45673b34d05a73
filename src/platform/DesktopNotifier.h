#pragma once
// Shows notifications through the desktop's notification service on the session bus.
#include "platform/Notifications.h"

#include <QDBusConnection>

#include <optional>

namespace ondrava {

class DesktopNotifier : public Notifier {
public:
    // The user's session bus, reached at the first notification.
    DesktopNotifier();
    // A bus of the caller's choosing (a private bus in tests).
    explicit DesktopNotifier(const QDBusConnection& bus);

    // Sends the notification without waiting for an answer. Where no session bus exists, or no
    // notification service answers on it, nothing happens and nothing is printed.
    void Notify(const QString& summary, const QString& body) override;

    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    static constexpr const char* kAppName = "Ondrava";
    // The icon installed with the desktop entry, under the entry's own id.
    static constexpr const char* kAppIcon = "org.example.ondrava.Ondrava";

private:
    std::optional<QDBusConnection> m_bus;
};

}  // namespace ondrava
