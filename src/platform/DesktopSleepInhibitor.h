#pragma once
// Keeps the computer awake through systemd-logind on the system bus (Inhibit "sleep", mode
// "block": held while the returned file descriptor is open) or, where logind cannot be reached,
// through the desktop portal's Inhibit (suspend) on the session bus (held until its request is
// closed). The calls are answered while the window pumps its events, so neither a slow service
// nor one started on demand ever holds the window up; an answer that comes after the release
// is given back at once.
#include "platform/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QObject>

#include <optional>

namespace ondrava {

class DesktopSleepInhibitor : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    // The system's buses, found at the first request.
    DesktopSleepInhibitor();
    // Buses of the caller's choosing (private buses in tests); nullopt: no such bus.
    DesktopSleepInhibitor(std::optional<QDBusConnection> systemBus,
                          std::optional<QDBusConnection> sessionBus);
    ~DesktopSleepInhibitor() override;

    void Inhibit(const QString& why) override;
    void Release() override;

    // What holds the computer awake now: "logind", "portal" or empty.
    QString HeldBy() const;

    static constexpr const char* kWho = "Ondrava";

private Q_SLOTS:
    void OnLogindReply(const QDBusMessage& reply);
    void OnLogindError(const QDBusError& error);
    void OnPortalReply(const QDBusMessage& reply);
    void OnPortalError(const QDBusError& error);

private:
    void FindBuses();
    void AskPortal();
    void ClosePortalRequest(const QString& handle);

    std::optional<QDBusConnection> m_systemBus;
    std::optional<QDBusConnection> m_sessionBus;
    bool m_looked = false;
    bool m_wanted = false;
    QString m_why;
    int m_fd = -1;
    QString m_portalHandle;
};

}  // namespace ondrava
