#pragma once
// Shows notifications through the desktop's notification service on the session bus, and
// answers the buttons of the notifications that offer them.
#include "platform/DesktopBus.h"
#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QObject>

#include <map>
#include <optional>

namespace ondrava {

class DesktopNotifier : public QObject, public Notifier {
    Q_OBJECT
public:
    // The user's session bus, reached at the first notification.
    DesktopNotifier();
    // A bus of the caller's choosing (a private bus in tests).
    explicit DesktopNotifier(const QDBusConnection& bus);

    // Sends the notification without waiting for an answer. Where no session bus exists, or no
    // notification service answers on it, nothing happens and nothing is printed.
    void Notify(const QString& summary, const QString& body) override;
    // The same with the buttons "open" and "show-in-folder" (labelled as given); the service's
    // ActionInvoked for them opens the file or shows it in its folder through the shell in force.
    void NotifyWithFileActions(const QString& summary, const QString& body,
                               const FileActions& actions) override;

    // Whether the buttons of this notification are still answered.
    bool AnswersButtonsOf(uint id) const { return m_files.count(id) > 0; }

    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    static constexpr const char* kAppName = "Ondrava";
    // The icon installed with the desktop entry, under the entry's own id.
    static constexpr const char* kAppIcon = "org.example.ondrava.Ondrava";
    static constexpr const char* kOpenAction = "open";
    static constexpr const char* kShowInFolderAction = "show-in-folder";

private Q_SLOTS:
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    void Send(const QString& summary, const QString& body, const FileActions* actions);

    SessionBusOnDemand m_bus;
    bool m_listening = false;
    // The files of the notifications whose buttons are still on the desktop, by their id.
    std::map<uint, QString> m_files;
};

}  // namespace ondrava
